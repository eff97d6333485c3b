; The Windows installer, made by tools/package-windows.sh with NSIS (makensis):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1.0 -DFILES=<package folder> -DICON=<haojian.ico>
;            -DOUTFILE=<setup.exe> haojian.nsi
; FILES holds what the portable zip holds; the installer puts it into the program's folder.
; For the current user or for all users: asks, or takes /CurrentUser or /AllUsers; /S installs
; silently (for the current user, or all users with /AllUsers), without a desktop shortcut
; unless /Desktop is given.
; The uninstaller removes the files, shortcuts and registry values the installer wrote and
; the program's folder only when nothing else is left in it. While haojian.exe or
; haojian-cli.exe of the folder runs it removes nothing: it asks to close the program and waits
; (Retry), or, silent, waits up to 30 s and then fails with exit code 2, the uninstall entry
; intact. (The uninstaller runs from a copy in the temporary folder, started before any of this
; script runs; the started uninstall.exe returns 0 once the copy runs. The exit code reaches
; only a caller that starts a copy with _?=<folder> and waits, as docs/windows.md shows.)
Unicode true
; A 64-bit installer: the program is 64-bit, and wine64 without wine32 runs only these.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!define APPNAME "瓴岚号鉴"
!define PUBLISHER "Haojian"
!define APPKEY "Software\Haojian\haojian"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\haojian"

Name "${APPNAME}"
OutFile "${OUTFILE}"
BrandingText "${APPNAME} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APPNAME}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${APPKEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${APPKEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; The installer's own version resource.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${APPNAME} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Copyright © ${YEAR} ${PUBLISHER}"

Section "${APPNAME}" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${FILES}\haojian.exe"
  File "${FILES}\haojian-cli.exe"
  File "${FILES}\kelvaronset.dat"
  File "${FILES}\说明.txt"
  File "${FILES}\NOTICE.txt"
  File "${FILES}\COPYRIGHT.txt"
  File "${FILES}\Apache-2.0.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\haojian.exe" "" "$INSTDIR\haojian.exe" 0

  WriteRegStr SHCTX "${APPKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${APPKEY}" "InstallMode" "$MultiUser.InstallMode"

  ; Programs and Features.
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" "$\"$INSTDIR\haojian.exe$\",0"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" \
    "$\"$INSTDIR\uninstall.exe$\" /$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" \
    "$\"$INSTDIR\uninstall.exe$\" /$MultiUser.InstallMode /S"
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTKEY}" "EstimatedSize" "$0"
SectionEnd

Section "桌面快捷方式" SectionDesktop
  CreateShortcut "$DESKTOP\${APPNAME}.lnk" "$INSTDIR\haojian.exe" "" "$INSTDIR\haojian.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "查询号码归属地的窗口程序、命令行工具 haojian-cli.exe 和号段数据库。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "在桌面上放一个 ${APPNAME} 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro MULTIUSER_INIT
  ; Silent installs make the desktop shortcut only when asked to.
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/Desktop" $1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SectionDesktop}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  Call un.WaitForProgramToEnd
FunctionEnd

; Sets $R0 to "haojian.exe" or "haojian-cli.exe" when that program of $INSTDIR runs, else
; leaves it. The file of a running program cannot be opened for writing: the system refuses
; with a sharing violation (32), which tells it from a file we may not write (5).
!macro UN_CHECK_PROGRAM NAME
  ${If} $R0 == ""
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${NAME}", i 0x40000000, i 7, p 0, i 3, i 0, p 0) p .R1 ?e'
    Pop $R2
    ${If} $R1 P<> -1
      System::Call 'kernel32::CloseHandle(p R1)'
    ${ElseIf} $R2 = 32
      StrCpy $R0 "${NAME}"
    ${EndIf}
  ${EndIf}
!macroend

Function un.WaitForProgramToEnd
  StrCpy $R3 0
  ${Do}
    StrCpy $R0 ""
    !insertmacro UN_CHECK_PROGRAM haojian.exe
    !insertmacro UN_CHECK_PROGRAM haojian-cli.exe
    ${If} $R0 == ""
      Return
    ${EndIf}
    ${If} ${Silent}
      ${If} $R3 >= 30
        SetErrorLevel 2
        Quit
      ${EndIf}
      IntOp $R3 $R3 + 1
      Sleep 1000
    ${ElseIf} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APPNAME} 正在运行（$INSTDIR\$R0）。$\r$\n请先关闭它，再点“重试”继续卸载。" IDCANCEL`
      SetErrorLevel 1
      Quit
    ${EndIf}
  ${Loop}
FunctionEnd

; Only what the installer wrote: lists and exports the user keeps in the folder stay, and so
; does the folder then.
Section "Uninstall"
  Delete "$INSTDIR\haojian.exe"
  Delete "$INSTDIR\haojian-cli.exe"
  Delete "$INSTDIR\kelvaronset.dat"
  Delete "$INSTDIR\说明.txt"
  Delete "$INSTDIR\NOTICE.txt"
  Delete "$INSTDIR\COPYRIGHT.txt"
  Delete "$INSTDIR\Apache-2.0.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  Delete "$DESKTOP\${APPNAME}.lnk"

  DeleteRegKey SHCTX "${UNINSTKEY}"
  DeleteRegValue SHCTX "${APPKEY}" "InstallLocation"
  DeleteRegValue SHCTX "${APPKEY}" "InstallMode"
  DeleteRegKey /IfEmpty SHCTX "${APPKEY}"
  DeleteRegKey /IfEmpty SHCTX "Software\Haojian"
SectionEnd
