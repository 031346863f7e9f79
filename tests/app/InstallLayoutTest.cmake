# Installs the build into a fresh prefix and checks what a desktop and the program expect to find there.
#   cmake -DBUILD_DIR=<build folder> -DPREFIX=<empty folder to create> [-DWINDOWS=1 -DRC=<windres>]
#       -P InstallLayoutTest.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

function(expect condition)
    if(NOT (${ARGV}))
        message(SEND_ERROR "Expected: ${ARGV}")
    endif()
endfunction()

# Windows: what the zip holds, to be unpacked beside Velmora.exe: the program, its empty Temp folder and a
# short text, nothing else.
if(WINDOWS)
    file(GLOB_RECURSE everything LIST_DIRECTORIES true RELATIVE "${PREFIX}" "${PREFIX}/*")
    list(SORT everything)
    list(JOIN everything "," listed)
    expect(listed STREQUAL "README.txt,Temp,zorScheduler.exe")
    file(READ "${PREFIX}/README.txt" text HEX)
    string(FIND "${text}" "0d0a" crlf)
    expect(NOT crlf EQUAL -1)

    # What Windows reads from the exe itself, as the resource compiler reads it back: the manifest (rights of
    # the one who starts it, Windows 10 and 11, per-monitor awareness version 2 as Qt sets it, common controls
    # 6) and the version record with its maker and copyright.
    execute_process(COMMAND "${RC}" -i "${PREFIX}/zorScheduler.exe" -O rc OUTPUT_VARIABLE resources
        RESULT_VARIABLE result)
    expect(result EQUAL 0)
    string(REPLACE "\"\"" "\"" resources "${resources}")
    foreach(expected IN ITEMS
            [[1 24 /* RT_MANIFEST */]]
            [[<requestedExecutionLevel level="asInvoker" uiAccess="false"/>]]
            [[<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>]]
            [[<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>]]
            [[<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>]]
            [[name="Microsoft.Windows.Common-Controls" version="6.0.0.0"]]
            [[VALUE "CompanyName", "Zor Scheduler"]]
            [[VALUE "LegalCopyright", "Copyright (C) 2026 Zor Scheduler"]]
            [[VALUE "ProductVersion", "1.0.0.5"]])
        string(FIND "${resources}" "${expected}" found)
        expect(NOT found EQUAL -1)
    endforeach()
    return()
endif()

set(program "${PREFIX}/bin/zorScheduler")
expect(EXISTS "${program}" AND NOT IS_DIRECTORY "${program}")
file(GLOB temp_contents "${PREFIX}/bin/Temp/*")
expect(IS_DIRECTORY "${PREFIX}/bin/Temp")
list(LENGTH temp_contents temp_count)
expect(temp_count EQUAL 0)

# The PNG header holds width and height as 32-bit big-endian numbers from byte 16 on.
foreach(size IN ITEMS 16 32 48 64 128 256)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/zorScheduler.png")
    expect(EXISTS "${icon}")
    file(READ "${icon}" header OFFSET 16 LIMIT 8 HEX)
    math(EXPR side "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${side}" 2 -1 side)
    string(LENGTH "${side}" digits)
    math(EXPR padding "8 - ${digits}")
    string(REPEAT "0" ${padding} zeros)
    expect("${header}" STREQUAL "${zeros}${side}${zeros}${side}")
endforeach()
expect(EXISTS "${PREFIX}/share/icons/hicolor/scalable/apps/zorScheduler.svg")

set(entry "${PREFIX}/share/applications/zorScheduler.desktop")
file(STRINGS "${entry}" lines)
expect("Exec=\"${program}\"" IN_LIST lines)
expect("Icon=zorScheduler" IN_LIST lines)
expect("Type=Application" IN_LIST lines)
