# A PulseAudio server with a null sink and a loopback input for the audio
# tests; harmless when PulseAudio is missing or already running.
kelvora_start_audio() {
  command -v pulseaudio >/dev/null 2>&1 || return 0
  export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/kelvora-runtime-$(id -u)}"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  if ! pactl info >/dev/null 2>&1; then
    pulseaudio --start --exit-idle-time=-1 --daemonize=yes >/dev/null 2>&1 ||
      pulseaudio --system=false --start --exit-idle-time=-1 >/dev/null 2>&1 || true
  fi
  pactl info >/dev/null 2>&1 || return 0
  if ! pactl list short sinks | grep -q kelvora_null; then
    pactl load-module module-null-sink sink_name=kelvora_null >/dev/null
    pactl set-default-sink kelvora_null
  fi
  # Qt lists no monitor sources as inputs: the loopback input is a remap of it.
  if ! pactl list short sources | grep -q kelvora_loopback; then
    pactl load-module module-remap-source master=kelvora_null.monitor \
      source_name=kelvora_loopback >/dev/null
    pactl set-default-source kelvora_loopback
  fi
}
