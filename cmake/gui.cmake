# The Qt program: the engine plus the widgets, the Qt platform and resources.
find_package(Qt6 REQUIRED COMPONENTS Widgets Multimedia)
set(CMAKE_AUTOMOC ON)
file(GLOB_RECURSE GUI_SOURCES CONFIGURE_DEPENDS src/*/qt/*.cpp src/*/qt/*.h)
list(FILTER GUI_SOURCES EXCLUDE REGEX "/src/shell/qt/main\\.cpp$")
list(FILTER GUI_SOURCES EXCLUDE REGEX "/src/cli/qt/")
add_library(kelvora_qt STATIC ${GUI_SOURCES})
target_link_libraries(kelvora_qt PUBLIC kelvora_engine Qt6::Widgets Qt6::Multimedia)
target_compile_options(kelvora_qt PRIVATE ${KELVORA_WARNINGS})
add_executable(kelvora src/shell/qt/main.cpp)
target_link_libraries(kelvora PRIVATE kelvora_qt)
target_compile_options(kelvora PRIVATE ${KELVORA_WARNINGS})
set(KELVORA_PROGRAM_DIR ${CMAKE_BINARY_DIR})
set_target_properties(kelvora PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KELVORA_PROGRAM_DIR})

# Files the program finds beside itself: the help page (named like the
# program) and the about sound, made by a small generator of ours.
add_executable(kelvora_make_about_wav cmake/make_about_wav.cpp)
target_compile_options(kelvora_make_about_wav PRIVATE ${KELVORA_WARNINGS})
add_custom_command(
  OUTPUT ${KELVORA_PROGRAM_DIR}/about.wav
  COMMAND kelvora_make_about_wav ${KELVORA_PROGRAM_DIR}/about.wav
  DEPENDS kelvora_make_about_wav
  COMMENT "Making about.wav")
add_custom_command(
  OUTPUT ${KELVORA_PROGRAM_DIR}/kelvora.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/src/resources/kelvora.html
          ${KELVORA_PROGRAM_DIR}/kelvora.html
  DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/kelvora.html
  COMMENT "Copying the help page")
add_custom_target(kelvora_files ALL
  DEPENDS ${KELVORA_PROGRAM_DIR}/about.wav ${KELVORA_PROGRAM_DIR}/kelvora.html)
add_dependencies(kelvora kelvora_files)

# The sound devices of kelvora-cli --list-devices, loaded by the tool from
# beside itself only for that.
add_library(kelvora_cli_devices MODULE src/cli/qt/sound_devices.cpp
  src/platform/qt/qt_wave_devices.cpp src/platform/qt/qt_wave_devices.h)
target_include_directories(kelvora_cli_devices PRIVATE src)
target_link_libraries(kelvora_cli_devices PRIVATE Qt6::Multimedia)
target_compile_options(kelvora_cli_devices PRIVATE ${KELVORA_WARNINGS})
set_target_properties(kelvora_cli_devices PROPERTIES PREFIX ""
  LIBRARY_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:kelvora-cli>)
add_dependencies(kelvora-cli kelvora_cli_devices)
