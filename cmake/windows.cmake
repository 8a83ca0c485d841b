# The Windows programs: statically linked, importing only system DLLs.
enable_language(RC)

set(MANIFEST_ARCH x86)

# Small programs: no exceptions (nothing in them throws or catches; see Runtime.cpp), no
# run-time type information, no locks around local statics (one thread), no unwind
# tables, every function and datum in a section of its own for the linker to drop. The
# library's checks on indexes and lengths stay on, as hardening. The folders of the
# sources and of the build leave no trace in the code (the checks' file names), so two
# builds of the same sources in different folders give the same bytes.
set(QEL_CODE_OPTIONS -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
                     -fno-threadsafe-statics -fno-asynchronous-unwind-tables
                     -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                     -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
foreach(target qel_common qel_common_setup qel_setup qel_uninstall)
  target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                              _WIN32_WINNT=0x0601 _GLIBCXX_ASSERTIONS)
  target_compile_options(${target} PUBLIC ${QEL_CODE_OPTIONS})
endforeach()

add_library(qel_win32 STATIC
  common/platform/win32/Win32Common.cpp
  common/platform/win32/Win32Platform.cpp
  common/platform/win32/Win32Removal.cpp
  common/platform/win32/Win32Windows.cpp
  common/platform/win32/Runtime.cpp)
target_link_libraries(qel_win32 PUBLIC qel_common)

# shell32, ole32 and oleaut32 are loaded on the first call into them, not when the program
# starts: the first window needs none of them, and loading them took about a tenth of the
# start-up under Wine. cmake/delay/<program>/<dll>.def names each function that program
# calls in them (with its argument size); each program gets the loading stubs of its own.
string(REGEX REPLACE "gcc$" "dlltool" QEL_DLLTOOL ${CMAKE_C_COMPILER})
# qel_delay_load(TARGET [PROGRAM]): the lists of PROGRAM (by default TARGET itself).
function(qel_delay_load PROGRAM)
  set(lists ${PROGRAM})
  if(ARGC GREATER 1)
    set(lists ${ARGV1})
  endif()
  file(GLOB defs ${CMAKE_SOURCE_DIR}/cmake/delay/${lists}/*.def)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${defs})
  set(libraries)
  set(keep)
  foreach(def ${defs})
    get_filename_component(dll ${def} NAME_WE)
    file(READ ${def} exports)
    # Each slot of the table of functions loaded on first use points at its loading stub,
    # which nothing else refers to: --gc-sections would drop the i686 stubs and leave the
    # slots zero, a call to address 0. Naming each function as undefined keeps its stub.
    string(REGEX MATCHALL "[A-Za-z0-9_]+@[0-9]+" names "${exports}")
    foreach(name ${names})
      list(APPEND keep -Wl,-u,_${name})
    endforeach()
    set(library ${CMAKE_BINARY_DIR}/delay/${PROGRAM}/lib${dll}-delay.a)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delay/${PROGRAM})
    execute_process(COMMAND ${QEL_DLLTOOL} --input-def ${def}
                            --dllname ${dll}.dll --kill-at --output-delaylib ${library}
                    COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND libraries ${library})
  endforeach()
  target_link_libraries(${PROGRAM} PRIVATE ${libraries} delayimp)
  target_link_options(${PROGRAM} PRIVATE ${keep})
endfunction()
target_link_libraries(qel_win32 PUBLIC uuid)

# Reproducible: no time stamp in the header (and no build path in the code, above).
# The oldest Windows the programs run on is Windows 7 SP1 (6.1): _WIN32_WINNT above and the
# subsystem version below. Relocatable (ASLR), no code in data pages (NX), and aware of
# terminal servers, so that Windows gives them no per-session compatibility shims.
set(QEL_LINK_OPTIONS -static -municode -mwindows -Wl,--gc-sections -s -Wl,--no-insert-timestamp
                     -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware
                     -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1
                     -Wl,--major-os-version,6 -Wl,--minor-os-version,1)

# program(NAME DESCRIPTION PRODUCT_NAME ICON LIBRARY MAIN)
function(qel_program PROGRAM DESCRIPTION PRODUCT_NAME ICON_FILE LIBRARY MAIN)
  set(MANIFEST_FILE ${CMAKE_BINARY_DIR}/${PROGRAM}.manifest)
  set(BAND_FILE ${CMAKE_SOURCE_DIR}/common/res/band.ico)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/app.manifest.in ${MANIFEST_FILE} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/program.rc.in ${CMAKE_BINARY_DIR}/${PROGRAM}.rc @ONLY)
  add_executable(${PROGRAM} WIN32 ${MAIN} ${CMAKE_BINARY_DIR}/${PROGRAM}.rc)
  target_include_directories(${PROGRAM} PRIVATE ${CMAKE_SOURCE_DIR}/common)
  target_link_libraries(${PROGRAM} PRIVATE ${LIBRARY} qel_win32)
  qel_delay_load(${PROGRAM})
  target_link_options(${PROGRAM} PRIVATE ${QEL_LINK_OPTIONS})
  set_target_properties(${PROGRAM} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  set_source_files_properties(${CMAKE_BINARY_DIR}/${PROGRAM}.rc PROPERTIES
    OBJECT_DEPENDS "${MANIFEST_FILE};${ICON_FILE};${BAND_FILE}")
endfunction()

qel_program(Setup "Installazione di QelPictura" "QelPicturaSetup"
  ${CMAKE_SOURCE_DIR}/Setup/res/setup.ico qel_setup Setup/main.cpp)
qel_program(Uninstall "Disinstallazione di QelPictura" "QelSoftware"
  ${CMAKE_SOURCE_DIR}/Setup/Uninstall/res/uninstall.ico qel_uninstall Setup/Uninstall/main.cpp)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/fixtures/CMakeLists.txt)
  add_subdirectory(tests/fixtures)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
  add_subdirectory(tests/e2e)
endif()
