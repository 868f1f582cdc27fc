# Installs the build into PREFIX and checks the layout. Run by CTest.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    bin/quorvel
    bin/quorvel-cli
    share/quorvel/Francais.lng
    share/quorvel/English.lng
    share/applications/quorvel.desktop
    share/mime/packages/quorvel-script.xml
    share/kio/servicemenus/quorvel-rename.desktop
    share/nemo/actions/quorvel-rename.nemo_action
    share/icons/hicolor/scalable/apps/quorvel.svg
    share/icons/hicolor/16x16/apps/quorvel.png
    share/icons/hicolor/32x32/apps/quorvel.png
    share/icons/hicolor/48x48/apps/quorvel.png
    share/icons/hicolor/64x64/apps/quorvel.png
    share/icons/hicolor/128x128/apps/quorvel.png
    share/locale/en/LC_MESSAGES/quorvel.mo
    share/man/man1/quorvel.1.gz
    share/man/man1/quorvel-cli.1.gz
    share/bash-completion/completions/quorvel
    share/bash-completion/completions/quorvel-cli
    share/zsh/vendor-completions/_quorvel-cli
    share/metainfo/org.quorvel.quorvel.metainfo.xml
    share/doc/quorvel/copyright
    share/doc/quorvel/changelog.gz
    share/lintian/overrides/quorvel)
file(GLOB_RECURSE help RELATIVE ${SOURCE_DIR}/resources ${SOURCE_DIR}/resources/Help/*)
foreach(file ${help})
    list(APPEND expected share/quorvel/${file})
endforeach()

# Exactly these files: no test program, library or header slips in.
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()

foreach(program quorvel quorvel-cli)
    file(READ ${PREFIX}/bin/${program} magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
        message(FATAL_ERROR "bin/${program} is not a program")
    endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/quorvel-cli --help RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the installed quorvel-cli does not run: ${result}")
endif()
# It finds its English catalogue in the prefix.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LANGUAGE= LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8
        ${PREFIX}/bin/quorvel-cli --help
    OUTPUT_VARIABLE english_help ERROR_QUIET)
if(NOT english_help MATCHES "^Usage: quorvel-cli COMMAND")
    message(FATAL_ERROR "the installed quorvel-cli does not speak English:\n${english_help}")
endif()

file(READ ${PREFIX}/share/applications/quorvel.desktop entry)
foreach(line "Exec=quorvel %f" "Icon=quorvel" "MimeType=application/x-quorvel-script;")
    string(FIND "${entry}" "${line}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks '${line}'")
    endif()
endforeach()
file(READ ${PREFIX}/share/mime/packages/quorvel-script.xml mime)
string(FIND "${mime}" "<glob pattern=\"*.script\"/>" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the MIME package does not claim *.script")
endif()

# The build tree holds the same read-only files beside the built program.
foreach(file Francais.lng English.lng ${help})
    if(NOT EXISTS ${APP_DIR}/${file})
        message(FATAL_ERROR "${file} is missing beside the built program in ${APP_DIR}")
    endif()
endforeach()
