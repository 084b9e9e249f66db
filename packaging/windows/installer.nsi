; The per-user installer: no administrator rights, into
; %LOCALAPPDATA%\Programs, with a Start-menu shortcut and an uninstall entry
; under HKCU. package.sh defines IDENTITY (the file that defines PRODUCT,
; PUBLISHER, COPYRIGHT, VERSION, NUMERIC_VERSION, APP_MUTEX and
; UNINSTALL_KEY), STAGE, OUTFILE, ICON, FILE_LIST, CHECK_LIST and SIZE_KB.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"
!include "FileFunc.nsh"

!include "${IDENTITY}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
; A file that cannot be written ends the install; it is never skipped.
AllowSkipFiles off

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

; Nothing is changed while the program runs from the install's folder: its
; files could not be replaced or removed. A copy started from that folder
; holds the mutex APP_MUTEX|folder, in lower case with forward slashes;
; one of an earlier version holds APP_MUTEX alone. Interactive, the user may
; close it and retry; silent, or on Cancel, the installer or uninstaller
; exits with 2 and the install stays as it was.
!macro WAIT_UNTIL_CLOSED
    look_for_program:
        ${WordReplace} "$INSTDIR" "\" "/" "+" $R8
        ; The directory page leaves a final backslash on the folder.
        StrCpy $R7 $R8 1 -1
        ${If} $R7 == "/"
            StrCpy $R8 $R8 -1
        ${EndIf}
        System::Call 'user32::CharLowerW(w R8 R8)i'
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${APP_MUTEX}|$R8") p .r0'
        ${If} $0 == 0
            System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${APP_MUTEX}") p .r0'
        ${EndIf}
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

; Nothing is removed while another program (a virus scanner, a backup tool,
; an indexer) holds one of the install's files open: each file in the
; folder $R9 is renamed aside, under a name of the check's own, and back
; first, which fails while such a program holds it; the running program
; holds its glyphsmith.exe so, however it was started. A file left aside by
; a check that was killed is put back, or removed where its file is there
; again, before anything else; one that cannot be is told as held. The rename back is tried for 5 s, as a
; scanner may open a file the moment it appears; nothing is removed before
; every file is under its own name again. Interactive, the user may close
; that program and retry; silent, or on Cancel, the installer or uninstaller
; exits with 2 and the install stays as it was.
!define ASIDE ".setup-check-aside"
Var held
!macro TRIM_TRAILING_BACKSLASH VAR
    StrCpy $R7 ${VAR} 1 -1
    ${If} $R7 == "\"
        StrCpy ${VAR} ${VAR} -1
    ${EndIf}
!macroend
!define TrimTrailingBackslash "!insertmacro TRIM_TRAILING_BACKSLASH"
!macro CHECK_FILE NAME
    ${If} ${FileExists} "$R9\${NAME}${ASIDE}"
        ClearErrors
        ${If} ${FileExists} "$R9\${NAME}"
            Delete "$R9\${NAME}${ASIDE}"
        ${Else}
            Rename "$R9\${NAME}${ASIDE}" "$R9\${NAME}"
        ${EndIf}
        ${If} ${Errors}
            StrCpy $held "$R9\${NAME}${ASIDE}"
        ${EndIf}
    ${EndIf}
    ${If} $held == ""
    ${AndIf} ${FileExists} "$R9\${NAME}"
        ClearErrors
        Rename "$R9\${NAME}" "$R9\${NAME}${ASIDE}"
        ${If} ${Errors}
            StrCpy $held "$R9\${NAME}"
        ${Else}
            ${For} $R6 1 50
                ClearErrors
                Rename "$R9\${NAME}${ASIDE}" "$R9\${NAME}"
                ${IfNot} ${Errors}
                    ${Break}
                ${EndIf}
                Sleep 100
            ${Next}
            ${If} ${FileExists} "$R9\${NAME}${ASIDE}"
                StrCpy $held "$R9\${NAME}"
            ${EndIf}
        ${EndIf}
    ${EndIf}
!macroend
!macro WAIT_UNTIL_REMOVABLE
    look_at_files:
        StrCpy $held ""
        !include "${CHECK_LIST}"
        StrCmp $held "" files_removable
        IfSilent give_up
        ${If} $held == "$R9\glyphsmith.exe"
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
                "${PRODUCT} is running. Close it, then choose Retry." IDRETRY look_at_files
        ${Else}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
                "$held is open in another program. Close that program, then choose Retry." \
                IDRETRY look_at_files
        ${EndIf}
    give_up:
        SetErrorLevel 2
        Quit
    files_removable:
!macroend

Function .onInit
    !insertmacro WAIT_UNTIL_CLOSED
FunctionEnd

; An uninstaller run in place cannot remove itself while it runs: it leaves
; that to a copy of itself in the temporary folder, started with /WAITFOR=
; its process id and /FINISH= its folder, which waits for it to end, however
; long its last page stays open, removes it and the empty folder, and quits.
Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/FINISH=" $R1
    ${IfNot} ${Errors}
        ${GetOptions} $R0 "/WAITFOR=" $R2
        System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i R2) p .r3'
        ${If} $3 != 0
            System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
            System::Call 'kernel32::CloseHandle(p r3)'
        ${EndIf}
        Delete "$R1\uninstall.exe"
        RMDir "$R1"
        Delete "$TEMP\${PRODUCT} uninstaller.exe"
        Quit
    ${EndIf}
    !insertmacro WAIT_UNTIL_CLOSED
FunctionEnd

Section "Install"
    ; Looked for again: the program may have started while a page was open.
    !insertmacro WAIT_UNTIL_CLOSED
    ; An older install goes first, by its own uninstaller, which removes
    ; exactly the files that version put there, once each can be; where it
    ; fails, that version stays, whole and registered.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        StrCpy $R9 $0
        !insertmacro WAIT_UNTIL_REMOVABLE
        ExecWait '"$0\uninstall.exe" /S /KEEPSELF _?=$0' $1
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
    ; The quiet command runs in place (_?=), so that the tools that run it
    ; get the uninstaller's own exit code. The other is as NSIS makes it,
    ; for tools that add /S to it: NSIS takes all after _?= as the folder.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
    ; Only the registered install, holding the program, is removed: a folder
    ; spelled otherwise (by a command line that put a switch after _?=)
    ; changes nothing.
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${TrimTrailingBackslash} $R0
    StrCpy $R1 $INSTDIR
    ${TrimTrailingBackslash} $R1
    ${If} $R0 != $R1
    ${OrIfNot} ${FileExists} "$INSTDIR\glyphsmith.exe"
        SetErrorLevel 2
        Abort "$INSTDIR is not the folder ${PRODUCT} is installed in."
    ${EndIf}
    ; The name slots in %APPDATA% are the user's own: they stay. The entry
    ; and the uninstaller go only once the program is gone.
    !insertmacro WAIT_UNTIL_CLOSED
    StrCpy $R9 $INSTDIR
    !insertmacro WAIT_UNTIL_REMOVABLE
    !include "${FILE_LIST}"
    ${If} ${FileExists} "$INSTDIR\glyphsmith.exe"
        SetErrorLevel 2
        Abort "The program's files could not be removed."
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/KEEPSELF" $R1
    ; Run in place; the installer that runs it for an upgrade removes it.
    ${If} ${Errors}
    ${AndIf} ${FileExists} "$INSTDIR\uninstall.exe"
        CopyFiles /SILENT "$EXEPATH" "$TEMP\${PRODUCT} uninstaller.exe"
        System::Call 'kernel32::GetCurrentProcessId() i .r0'
        Exec '"$TEMP\${PRODUCT} uninstaller.exe" /WAITFOR=$0 /FINISH=$INSTDIR'
    ${EndIf}
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
