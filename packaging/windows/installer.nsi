; The per-user installer: no administrator rights, into
; %LOCALAPPDATA%\Programs, with a Start-menu shortcut and an uninstall entry
; under HKCU. package.sh defines IDENTITY (the file that defines PRODUCT,
; PUBLISHER, COPYRIGHT, VERSION, NUMERIC_VERSION, APP_MUTEX and
; UNINSTALL_KEY), STAGE, OUTFILE, ICON, FILE_LIST and SIZE_KB.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"

!include "${IDENTITY}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma

VIProductVersion "${NUMERIC_VERSION}"
VIFileVersion "${NUMERIC_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\glyphsmith.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Nothing is changed while the program runs: its files could not be
; replaced or removed. Interactive, the user may close it and retry;
; silent, or on Cancel, the installer or uninstaller exits with 2 and the
; install stays as it was.
!macro WAIT_UNTIL_CLOSED
    look_for_program:
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${APP_MUTEX}") p .r0'
        StrCmp $0 0 program_closed
        System::Call 'kernel32::CloseHandle(p r0)'
        IfSilent cancel
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT} is running. Close it, then choose Retry." IDRETRY look_for_program
    cancel:
        SetErrorLevel 2
        Quit
    program_closed:
!macroend

Function .onInit
    !insertmacro WAIT_UNTIL_CLOSED
FunctionEnd

Function un.onInit
    !insertmacro WAIT_UNTIL_CLOSED
FunctionEnd

Section "Install"
    ; An older install goes first, by its own uninstaller, which removes
    ; exactly the files that version put there; where it fails, that
    ; version stays, whole and registered.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0' $1
        ${If} $1 != 0
            SetErrorLevel 2
            Abort "The installed version could not be removed."
        ${EndIf}
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\glyphsmith.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\glyphsmith.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
    ; The name slots in %APPDATA% are the user's own: they stay. The entry
    ; and the uninstaller go only once the program is gone.
    !include "${FILE_LIST}"
    ${If} ${FileExists} "$INSTDIR\glyphsmith.exe"
        SetErrorLevel 2
        Abort "The program's files could not be removed."
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
