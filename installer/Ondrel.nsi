; The installer of Ondrel, one for each word size, made by scripts/package.sh:
;   makensis -DBITS=64|32 -DBUILD_DIR=<CMake build folder> -DFILES_DIR=<folder with Ondrel.exe
;            and LEGGIMI.txt> -DOUT_FILE=<setup.exe> installer/Ondrel.nsi
; The version comes from the build folder's generated/OndrelVersion.h.
;
; Per user, without administrator rights: the game goes into %LOCALAPPDATA%\Programs\Ondrel or
; a folder the user chooses, with a Start-menu shortcut, a desktop shortcut when asked for
; (/DESKTOP on the command line when silent), an uninstaller and its entry in the list of
; installed programs. Silent with /S; /D=<folder> (last on the command line) sets the folder.
; Texts in Italian, in English where Windows' language is not Italian.

Unicode true
!if ${BITS} == 64
    Target amd64-unicode
!else if ${BITS} == 32
    Target x86-unicode
!else
    !error "BITS must be 64 or 32"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
; A file that cannot be written stops the install (Retry or Cancel): skipping the program
; would leave the folder without one.
AllowSkipFiles off

!searchparse /file "${BUILD_DIR}/generated/OndrelVersion.h" `#define ONDREL_VERSION "` VERSION `"`
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ondrel"
!define PUBLISHER "Gli sviluppatori di Ondrel"

Name "Ondrel ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Ondrel"
; A reinstall goes where the game already is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Ondrel ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define MUI_ICON "../resources/Ondrel.ico"
!define MUI_UNICON "../resources/Ondrel.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Ondrel.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used where Windows speaks neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Italian"

LangString SectionProgram ${LANG_ITALIAN} "Ondrel"
LangString SectionProgram ${LANG_ENGLISH} "Ondrel"
LangString SectionProgramText ${LANG_ITALIAN} "Il gioco, il suo collegamento nel menu Start e il programma di disinstallazione."
LangString SectionProgramText ${LANG_ENGLISH} "The game, its Start-menu shortcut and the uninstaller."
LangString SectionDesktop ${LANG_ITALIAN} "Collegamento sul desktop"
LangString SectionDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString SectionDesktopText ${LANG_ITALIAN} "Un collegamento a Ondrel sul desktop."
LangString SectionDesktopText ${LANG_ENGLISH} "A shortcut to Ondrel on the desktop."
LangString GameRunning ${LANG_ITALIAN} "Ondrel è aperto ($0\Ondrel.exe).$\r$\n$\r$\nChiudi il gioco e premi Riprova per continuare, oppure Annulla per interrompere senza modificare nulla."
LangString GameRunning ${LANG_ENGLISH} "Ondrel is running ($0\Ondrel.exe).$\r$\n$\r$\nClose the game and press Retry to go on, or Cancel to stop without changing anything."
LangString GameStillRunning ${LANG_ITALIAN} "Interrotto: Ondrel è ancora aperto."
LangString GameStillRunning ${LANG_ENGLISH} "Stopped: Ondrel is still running."

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductName" "Ondrel"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileDescription" "Installazione di Ondrel ${VERSION} (${BITS} bit)"
VIAddVersionKey /LANG=${LANG_ITALIAN} "CompanyName" "Ondrel"
VIAddVersionKey /LANG=${LANG_ITALIAN} "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

Var PreviousDir
Var PreviousDesktop

; Returns once $0\Ondrel.exe is not running (a running program cannot be opened for writing);
; until then asks the user to close it, and stops the whole run on Cancel (the answer when
; silent) before anything is changed.
!macro WAIT_FOR_GAME_CLOSED PREFIX
Function ${PREFIX}WaitForGameClosed
    Push $1
    ${Do}
        ${IfNot} ${FileExists} "$0\Ondrel.exe"
            ${Break}
        ${EndIf}
        ClearErrors
        FileOpen $1 "$0\Ondrel.exe" a
        ${IfNot} ${Errors}
            FileClose $1
            ${Break}
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(GameRunning)" /SD IDCANCEL IDRETRY`
            Abort "$(GameStillRunning)"
        ${EndIf}
    ${Loop}
    Pop $1
FunctionEnd
!macroend
!insertmacro WAIT_FOR_GAME_CLOSED ""
!insertmacro WAIT_FOR_GAME_CLOSED "un."

; $0: the size in KiB, rounded up, of the installed files.
Function InstalledSize
    Push $1
    Push $2
    Push $3
    StrCpy $0 0
    ${ForEach} $3 0 2 + 1
        ${Select} $3
        ${Case} 0
            StrCpy $2 "Ondrel.exe"
        ${Case} 1
            StrCpy $2 "LEGGIMI.txt"
        ${Default}
            StrCpy $2 "uninstall.exe"
        ${EndSelect}
        FileOpen $1 "$INSTDIR\$2" r
        FileSeek $1 0 END $2
        FileClose $1
        IntOp $0 $0 + $2
    ${Next}
    IntOp $0 $0 + 1023
    IntOp $0 $0 / 1024
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

Section "$(SectionProgram)" SecProgram
    SectionIn RO
    ; Nothing changes until the game is closed, here and where an earlier install put it.
    StrCpy $0 "$INSTDIR"
    Call WaitForGameClosed
    ${If} $PreviousDir != ""
    ${AndIf} $PreviousDir != $INSTDIR
        StrCpy $0 $PreviousDir
        Call WaitForGameClosed
    ${EndIf}

    SetOutPath "$INSTDIR"
    SetOverwrite on
    ; The new program goes in beside the old one and takes its name only once the old one is
    ; gone, so that the folder never holds a half-written program.
    ${Do}
        File "/oname=Ondrel.exe.new" "${FILES_DIR}/Ondrel.exe"
        ClearErrors
        Delete "$INSTDIR\Ondrel.exe"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        ; Started again since the check, or held open by another program.
        Delete "$INSTDIR\Ondrel.exe.new"
        StrCpy $0 "$INSTDIR"
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(GameRunning)" /SD IDCANCEL IDRETRY`
            Abort "$(GameStillRunning)"
        ${EndIf}
    ${Loop}
    Rename "$INSTDIR\Ondrel.exe.new" "$INSTDIR\Ondrel.exe"
    File "${FILES_DIR}/LEGGIMI.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Ondrel.lnk" "$INSTDIR\Ondrel.exe" "" "$INSTDIR\Ondrel.exe" 0

    ; An earlier install in another folder gives way to this one.
    ${If} $PreviousDir != ""
    ${AndIf} $PreviousDir != $INSTDIR
        Delete "$PreviousDir\Ondrel.exe"
        Delete "$PreviousDir\LEGGIMI.txt"
        Delete "$PreviousDir\uninstall.exe"
        RMDir "$PreviousDir"
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ondrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Ondrel.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    Call InstalledSize
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionDesktop)" SecDesktop
    CreateShortcut "$DESKTOP\Ondrel.lnk" "$INSTDIR\Ondrel.exe" "" "$INSTDIR\Ondrel.exe" 0
SectionEnd

; Records the desktop shortcut for the uninstaller; a reinstall without it removes the one an
; earlier install made.
Section "-DesktopRecord"
    ${If} ${SectionIsSelected} ${SecDesktop}
        WriteRegDWORD HKCU "${UNINSTALL_KEY}" "DesktopShortcut" 1
    ${Else}
        ${If} $PreviousDesktop == 1
            Delete "$DESKTOP\Ondrel.lnk"
        ${EndIf}
        DeleteRegValue HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SectionProgramText)"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "$(SectionDesktopText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ReadRegStr $PreviousDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegDWORD $PreviousDesktop HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
    ; The desktop shortcut when asked for, and on a reinstall when the earlier install made one.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/DESKTOP" $1
    ${IfNot} ${Errors}
    ${OrIf} $PreviousDesktop == 1
        !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
FunctionEnd

; Removes what the installer put there and nothing else: files the user added keep the folder.
Section "Uninstall"
    StrCpy $0 "$INSTDIR"
    Call un.WaitForGameClosed
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegDWORD $2 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
    Delete "$INSTDIR\Ondrel.exe"
    Delete "$INSTDIR\LEGGIMI.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The shortcuts and the entry belong to the install in this folder, not to a later one
    ; elsewhere.
    ${If} $1 == $INSTDIR
    ${OrIf} $1 == ""
        Delete "$SMPROGRAMS\Ondrel.lnk"
        ${If} $2 == 1
            Delete "$DESKTOP\Ondrel.lnk"
        ${EndIf}
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
