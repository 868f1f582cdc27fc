# Every text marked in the sources has a translation in every catalogue: the
# template is made again from the sources and each LANG.po compared with it.
# Run by CTest with COMMAND_FILE (which sets XGETTEXT, the command as a list),
# MSGCMP, PO_DIR and WORK.
include(${COMMAND_FILE})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${XGETTEXT} --output=${WORK}/quorvel.pot
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "xgettext failed: ${errors}")
endif()
file(STRINGS ${PO_DIR}/LINGUAS languages REGEX "^[a-z]")
foreach(language ${languages})
    execute_process(COMMAND ${MSGCMP} ${PO_DIR}/${language}.po ${WORK}/quorvel.pot
        RESULT_VARIABLE result ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "po/${language}.po lacks translations (cmake --build --target quorvel_pot, "
                            "then translate):\n${errors}")
    endif()
endforeach()
