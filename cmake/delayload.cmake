# The shell, COM, OLE pictures, the common controls, the file dialogs, the session notices,
# mapped drives and HTTP are first needed after the bar is on screen: ReplyBar.exe imports their
# functions through delay-load libraries, so their DLLs load at the first call instead of at
# process start. The lists name every function the program calls from them; a new call into one
# of these DLLs goes to the plain import library and still works, only loading at start.
find_program(DLLTOOL ${TOOLCHAIN_PREFIX}-dlltool)
set(DELAYLOAD_IMPORTS
    "SHELL32.dll:ExtractIconExW,SHBrowseForFolderW,SHGetFileInfoW,SHGetFolderPathW,SHGetPathFromIDListW,ShellExecuteW"
    "ole32.dll:CoCreateInstance,CoInitializeEx,CoTaskMemFree,CoUninitialize"
    "OLEAUT32.dll:OleCreatePictureIndirect"
    "COMCTL32.dll:ImageList_Draw,ImageList_GetIconSize,InitCommonControlsEx"
    "COMDLG32.dll:GetOpenFileNameW,GetSaveFileNameW"
    "WTSAPI32.dll:WTSRegisterSessionNotification,WTSUnRegisterSessionNotification"
    "MPR.dll:WNetGetConnectionW,WNetGetUniversalNameW"
    "WINHTTP.dll:WinHttpCloseHandle,WinHttpConnect,WinHttpCrackUrl,WinHttpGetIEProxyConfigForCurrentUser,WinHttpGetProxyForUrl,WinHttpOpen,WinHttpOpenRequest,WinHttpQueryAuthSchemes,WinHttpQueryDataAvailable,WinHttpQueryHeaders,WinHttpReadData,WinHttpReceiveResponse,WinHttpSendRequest,WinHttpSetCredentials,WinHttpSetOption,WinHttpSetTimeouts")
set(DELAYLOAD_LIBS)
if(DLLTOOL)
  foreach(entry ${DELAYLOAD_IMPORTS})
    string(REGEX MATCH "^[^:]+" dll "${entry}")
    string(REGEX REPLACE "^[^:]+:" "" functions "${entry}")
    string(REPLACE "," "\n" exports "${functions}")
    get_filename_component(base ${dll} NAME_WE)
    string(TOLOWER ${base} base)
    set(def ${CMAKE_BINARY_DIR}/delayload/${base}.def)
    set(lib ${CMAKE_BINARY_DIR}/delayload/lib${base}_delay.a)
    file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
    add_custom_command(OUTPUT ${lib} COMMAND ${DLLTOOL} -m i386:x86-64 -d ${def} -y ${lib}
                       DEPENDS ${def} VERBATIM)
    list(APPEND DELAYLOAD_LIBS ${lib})
  endforeach()
  add_custom_target(delayload_libs DEPENDS ${DELAYLOAD_LIBS})
endif()
