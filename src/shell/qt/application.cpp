#include "shell/qt/application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include "platform/profile_file.h"
#include "platform/qt/qt_dialog_host.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_system.h"
#include "platform/qt/qt_wave_devices.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/qt/icons.h"
#include "shell/qt/qt_main_window.h"
#include "shell/recovery.h"
#include "shell/settings.h"
#include "views/spectrogram_settings.h"
#include "views/view_state.h"
#include "views/wheel_input.h"

namespace kelvora {
namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool FileExists(const std::string& path) {
  return QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(path)));
}

// The window speaks Japanese whatever the desktop's language, so Qt's own
// buttons (Yes, No, Cancel) do too.
void LoadJapaneseQtTexts(QApplication& app, QTranslator& translator) {
  if (translator.load(QStringLiteral("qtbase_ja"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&translator);
}

}  // namespace

int RunKelvora(QApplication& app) {
  QTranslator translator;
  LoadJapaneseQtTexts(app, translator);
  // The installed icon when there is one (the desktop shows the same in its
  // menu), and the desktop entry the window belongs to.
  app.setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvora"), ProgramIcon()));
  QGuiApplication::setDesktopFileName(QStringLiteral("invalid.kelvora.Kelvora"));

  // An empty sound and its first undo copy, then the paths and settings.
  StartEngine();
  const QString program = QCoreApplication::applicationFilePath();
  const bool writable = QFileInfo(QCoreApplication::applicationDirPath()).isWritable();
  InitShellPaths(LocalPath(program), writable,
                 qEnvironmentVariable("XDG_CONFIG_HOME").toStdString(), LocalPath(QDir::homePath()),
                 FileExists);

  ProfileFile profile(Shell().settingsPath);
  QtUserInterface ui;
  QtClipboard clipboard;
  QtFileDialogs fileDialogs;
  QtProcesses processes;
  QtClock clock;
  QtWaveDevices waveDevices;
  QtSystem system;
  QtBackground background;
  processes.SetSoundDevices(&waveDevices);
  Platform& services = Services();
  services.ui = &ui;
  services.clipboard = &clipboard;
  services.fileDialogs = &fileDialogs;
  services.profile = &profile;
  services.processes = &processes;
  services.clock = &clock;
  services.waveDevices = &waveDevices;
  services.system = &system;
  services.background = &background;
  LoadStartupSettings(LocalPath(QDir::homePath()));
  StartRecovery();

  {
    QtMainWindow window;
    QtDialogHost dialogs(&window);
    services.dialogs = &dialogs;
    fileDialogs.SetParent(&window);
    ui.SetWindow(&window);
    UpdateTitle();
    SetZoom(View().zoomLevel);
    ShowSpectrogramCheck();
    ShowVerticalZoomChecks();
    window.RequestOuterSize(Shell().windowWidth, Shell().windowHeight);
    window.show();
    ShowFormatStatus();

    QStringList args = app.arguments();
    if (!args.isEmpty()) args.removeFirst();
    std::vector<std::string> words;
    for (const QString& a : args) words.push_back(LocalPath(a));
    // What a crash left is offered before anything else is opened.
    OfferRecoveryAtStart();
    OpenCommandLineFile(CommandLinePath(words));
    window.repaint();

    QTimer recovery;
    recovery.setSingleShot(true);
    recovery.setTimerType(Qt::PreciseTimer);
    QObject::connect(&recovery, &QTimer::timeout, [&recovery] {
      recovery.start(RecoveryTick(QApplication::activeModalWidget() != nullptr));
    });
    if (RecoveryEnabled()) recovery.start(0);

    app.exec();
    recovery.stop();
    EndRecovery();
    ui.SetWindow(nullptr);
    services.dialogs = nullptr;
  }
  services = Platform{};
  return 0;
}

}  // namespace kelvora
