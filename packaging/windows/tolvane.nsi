; Tolvane's Windows installer: per user, without administrator rights.
; makensis -DVERSION=x.y.z -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe>
;          -DICON=<tolvane.ico> tolvane.nsi
Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"

Name "Tolvane"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tolvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tolvane ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Tolvane"
VIAddVersionKey /LANG=1041 "FileDescription" "Tolvane セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "GPL-3.0-or-later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tolvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Tolvane を起動する"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "README.txt を読む"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The program folder is the user's own, so the program would keep its
; settings beside itself. Like any installed program's folder it is made
; read-only for its users (the owner keeps the right to change that), so the
; settings go to %APPDATA%\tolvane. A folder that cannot be changed so stays
; as it is.
!macro SetFolderAccess SDDL FLAGS
  StrCpy $R0 "${SDDL}"
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w R0, i 1, *p .r1, p 0) i .r0'
  ${If} $0 <> 0
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r2, *p .r3, *i .r4) i .r0'
    System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i ${FLAGS}, p 0, p 0, p r3, p 0) i .r0'
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
!macroend
; Read and run (0x1200a9) for the user, full access for the system and the
; administrators; protected from the parent's rules.
!define READ_ONLY_SDDL "D:P(A;OICI;0x1200a9;;;$5)(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
; Nothing of its own: the folder takes its parent's rules again.
!define INHERITED_SDDL "D:"

; The current user's security identifier, into $5.
!macro CurrentUserSid
  StrCpy $5 ""
  System::Call 'kernel32::GetCurrentProcess() p .r6'
  System::Call 'advapi32::OpenProcessToken(p r6, i 8, *p .r7) i .r0'
  ${If} $0 <> 0
    ; TOKEN_USER: the identifier's address comes first.
    System::Alloc 256
    Pop $8
    System::Call 'advapi32::GetTokenInformation(p r7, i 1, p r8, i 256, *i .r9) i .r0'
    ${If} $0 <> 0
      System::Call '*$8(p .r9)'
      System::Call 'advapi32::ConvertSidToStringSidW(p r9, *p .r6) i .r0'
      ${If} $0 <> 0
        System::Call 'kernel32::lstrcpyW(w .r5, p r6)'
        System::Call 'kernel32::LocalFree(p r6)'
      ${EndIf}
    ${EndIf}
    System::Free $8
    System::Call 'kernel32::CloseHandle(p r7)'
  ${EndIf}
!macroend

!macro GiveFolderBack
  ${If} ${FileExists} "$INSTDIR\*.*"
    ; 0x20000004: the folder's own rules (DACL), not protected from the parent's.
    !insertmacro SetFolderAccess "${INHERITED_SDDL}" 0x20000004
  ${EndIf}
!macroend

Section "Tolvane" SecProgram
  SectionIn RO
  SetShellVarContext current
  ; An update writes into a folder an earlier install made read-only.
  !insertmacro GiveFolderBack
  SetOutPath "$INSTDIR"
  File "${STAGE}\Tolvane.exe"
  File "${STAGE}\tolvane-run.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tolvane.lnk" "$INSTDIR\Tolvane.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tolvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Tolvane developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tolvane.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "ログイン時に起動" SecStartup
  SetShellVarContext current
  CreateShortcut "$SMSTARTUP\Tolvane.lnk" "$INSTDIR\Tolvane.exe"
SectionEnd

Section "-Finish"
  SetShellVarContext current
  ; An update without the option takes an earlier one's shortcut away.
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Delete "$SMSTARTUP\Tolvane.lnk"
  ${EndIf}
  SetOutPath "$TEMP"
  !insertmacro CurrentUserSid
  ${If} $5 != ""
    ; 0x80000004: the folder's own rules, protected from the parent's.
    !insertmacro SetFolderAccess "${READ_ONLY_SDDL}" 0x80000004
  ${EndIf}
SectionEnd

; The settings in %APPDATA%\tolvane are the user's and stay.
Section "Uninstall"
  SetShellVarContext current
  !insertmacro GiveFolderBack
  Delete "$SMSTARTUP\Tolvane.lnk"
  Delete "$SMPROGRAMS\Tolvane.lnk"
  Delete "$INSTDIR\Tolvane.exe"
  Delete "$INSTDIR\tolvane-run.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
