# The release zip holds quillet.exe and quillet.chm, and nothing else: unpacked into an empty
# folder, they are all a Windows user needs.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ZIP} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot read ${ZIP}")
endif()
string(REPLACE "\n" ";" names "${listing}")
list(REMOVE_ITEM names "")
list(SORT names)
if(NOT names STREQUAL "quillet.chm;quillet.exe")
    message(FATAL_ERROR "${ZIP} holds: ${names}")
endif()
