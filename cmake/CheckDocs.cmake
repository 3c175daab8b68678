# The docs check: cmake -DWARNINGS=build/docs/warnings.txt -P CheckDocs.cmake
#
# Every Doxygen warning fails it: a public declaration without its one-line comment, or a comment Doxygen
# cannot read. A missing warnings file fails it too, since then Doxygen did not run. Warnings are shown
# with the header's path under include/vantamax/ and its line.
if(NOT EXISTS "${WARNINGS}")
    message(FATAL_ERROR "No Doxygen warnings file at ${WARNINGS}: the reference was not written")
endif()
file(STRINGS "${WARNINGS}" lines)
set(warnings "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^.*/include/vantamax/" "" line "${line}")
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "")
        list(APPEND warnings "${line}")
    endif()
endforeach()
if(warnings)
    list(JOIN warnings "\n  " text)
    message(FATAL_ERROR "Doxygen warnings (a public declaration needs its one-line comment):\n  ${text}")
endif()
message(STATUS "The reference builds with no warning.")
