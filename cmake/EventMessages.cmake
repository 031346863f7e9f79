# cmake -D DEF=<SystemEvents.def> -D MC=<file.mc> -P EventMessages.cmake
# Writes the message compiler's source for the program's message table: a message for each kind of event in
# DEF, under the event ID and severity that the Application log sink reports it with, and with the text that
# the sink's two strings fill in: the event's line, then its fields.
file(STRINGS "${DEF}" lines REGEX "^ZOR_SYSTEM_EVENT")
set(severities Information=Informational Warning=Warning Error=Error)
string(CONCAT mc
    "; // Made from ${DEF} by ${CMAKE_CURRENT_LIST_FILE}: change that instead.\n"
    "LanguageNames=(English=0x409:MSG00409)\n")
foreach(line IN LISTS lines)
    if(NOT line MATCHES "^ZOR_SYSTEM_EVENT\\(([0-9]+), *([A-Za-z0-9_]+), *([A-Za-z]+)\\)$")
        message(FATAL_ERROR "${DEF}: not a kind of event: ${line}")
    endif()
    set(id ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    set(type ${CMAKE_MATCH_3})
    string(REGEX MATCH "(^|;)${type}=([A-Za-z]+)" found "${severities}")
    if(NOT found)
        message(FATAL_ERROR "${DEF}: ${name} has the unknown type ${type}")
    endif()
    string(CONCAT mc "${mc}"
        "\nMessageId=${id}\nSeverity=${CMAKE_MATCH_2}\nSymbolicName=${name}\nLanguage=English\n%1%n%2\n.\n")
endforeach()
if(NOT lines)
    message(FATAL_ERROR "${DEF} names no kind of event")
endif()
file(WRITE "${MC}" "${mc}")
