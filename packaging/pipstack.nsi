; Pipstack's Windows installer: the program in Program Files, a Start-menu
; shortcut, an optional start at logon, and an uninstaller that keeps the
; settings unless asked to remove them. It carries both builds: on 64-bit
; Windows it installs the 64-bit program into the 64-bit Program Files, on
; 32-bit Windows the 32-bit one. Being a 32-bit program itself, it runs on both.
;
; Built by the build with:
;   makensis -DVERSION=a.b.c.d -DSTAGE=<64-bit installed tree> -DSTAGE32=<32-bit installed tree>
;            -DOUTFILE=<setup.exe> [-DTARGET=amd64-unicode]
; (TARGET, x86-unicode unless given, is the installer's own architecture.)
; Silent use:
;   setup.exe /S [/STARTATLOGON] [/D=C:\Folder]
;   uninstall.exe /S [/REMOVESETTINGS]

Unicode true
!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh
!include x64.nsh

!ifndef VERSION | STAGE | STAGE32 | OUTFILE
  !error "VERSION, STAGE, STAGE32 and OUTFILE must be defined"
!endif

; The program's own names, which it relies on: its settings key (in the
; 64-bit registry view on 64-bit Windows, for both builds) and its hidden
; window (class and title), which a second start also looks for.
!define SETTINGS_KEY "Software\Pipstack"
!define POLL_WINDOW_CLASS "Pipstack"
!define POLL_WINDOW_TITLE "Pipstack Poll Window"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pipstack"
!define SHORTCUT "$SMPROGRAMS\Pipstack Configuration.lnk"
; A logon task rather than a Run entry: the program asks for administrator
; rights, and Windows does not start such programs from Run entries.
!define LOGON_TASK "Pipstack"

Name "Pipstack"
OutFile "${OUTFILE}"
; The 64-bit Program Files on 64-bit Windows, the only one on 32-bit Windows.
; An earlier install's folder is found in .onInit (InstallDirRegKey would
; read the 32-bit registry view).
InstallDir "$PROGRAMFILES64\Pipstack"
; The program writes HKEY_LOCAL_MACHINE, and the files go to Program Files.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Pipstack"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Pipstack installer"
VIAddVersionKey "CompanyName" "Pipstack developers"
VIAddVersionKey "LegalCopyright" "MIT License, Pipstack developers"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running meter as its Quit button does (settings saved, port
; restored), so that its files can be replaced or removed.
!macro CloseRunningMeter un
Function ${un}CloseRunningMeter
  FindWindow $0 "${POLL_WINDOW_CLASS}" "${POLL_WINDOW_TITLE}"
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "Closing the running meter"
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ; Up to five seconds for it to go.
  ${For} $1 1 50
    Sleep 100
    FindWindow $0 "${POLL_WINDOW_CLASS}" "${POLL_WINDOW_TITLE}"
    ${IfThen} $0 = 0 ${|} ${ExitFor} ${|}
  ${Next}
  ; The window goes first; give the process a moment to end.
  Sleep 500
FunctionEnd
!macroend
!insertmacro CloseRunningMeter ""
!insertmacro CloseRunningMeter "un."

; The programs of one build, from its installed tree.
!macro InstallPrograms FROM
  File "${FROM}/pipstack.exe"
  File "${FROM}/pipstack-virtual-port.dll"
  File "${FROM}/ledview.exe"
!macroend

Section "Pipstack" SecProgram
  SectionIn RO
  Call CloseRunningMeter

  ; Earlier versions installed the virtual port as WinIO.dll. The program
  ; tries WinIO.dll first, so left there it would keep taking the virtual port
  ; over a real InpOut library added later. A real WinIO.dll comes with its
  ; driver file (WinIo.sys, WinIo32.sys or WinIo64.sys) and is kept.
  ${If} ${FileExists} "$INSTDIR\WinIO.dll"
  ${AndIfNot} ${FileExists} "$INSTDIR\WinIo*.sys"
    DetailPrint "Removing the virtual port an earlier version installed as WinIO.dll"
    Delete "$INSTDIR\WinIO.dll"
  ${EndIf}

  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    !insertmacro InstallPrograms "${STAGE}"
  ${Else}
    !insertmacro InstallPrograms "${STAGE32}"
  ${EndIf}
  File "${STAGE}/README.md"
  File "${STAGE}/LICENSE.txt"
  SetOutPath "$INSTDIR\docs"
  File "${STAGE}/docs/*.png"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Starting the program while it runs opens its configuration dialog, so
  ; one shortcut serves both.
  CreateShortcut "${SHORTCUT}" "$INSTDIR\pipstack.exe" "" "$INSTDIR\pipstack.exe" 0 SW_SHOWNORMAL "" "Start Pipstack, or open its configuration dialog"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Pipstack"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pipstack developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pipstack.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start at logon" SecLogon
  InitPluginsDir
  ; Task Scheduler reads its task definitions as UTF-16 with a byte order mark.
  FileOpen $0 "$PLUGINSDIR\logon-task.xml" w
  FileWriteWord $0 0xFEFF
  FileWriteUTF16LE $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $0 '  <RegistrationInfo><Description>Starts the Pipstack LED meter at logon.</Description></RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $0 '  <Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>$\r$\n'
  FileWriteUTF16LE $0 '  <Principals><Principal id="Author"><GroupId>S-1-5-32-545</GroupId><RunLevel>HighestAvailable</RunLevel></Principal></Principals>$\r$\n'
  ; No time limit (the default would end the meter after three days), and no
  ; stopping on battery power.
  FileWriteUTF16LE $0 '  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy><DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries><StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Enabled>true</Enabled></Settings>$\r$\n'
  FileWriteUTF16LE $0 '  <Actions Context="Author"><Exec><Command>"$INSTDIR\pipstack.exe"</Command><WorkingDirectory>$INSTDIR</WorkingDirectory></Exec></Actions>$\r$\n'
  FileWriteUTF16LE $0 '</Task>$\r$\n'
  FileClose $0
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /F /TN "${LOGON_TASK}" /XML "$PLUGINSDIR\logon-task.xml"'
  Pop $0
  ${If} $0 != 0
    MessageBox MB_ICONEXCLAMATION "Pipstack could not be set to start at logon (schtasks: $0)." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

; A reinstall without "Start at logon" drops the task an earlier one made.
Section "-Logon task cleanup"
  ${IfNot} ${SectionIsSelected} ${SecLogon}
    nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /F /TN "${LOGON_TASK}"'
    Pop $0
  ${EndIf}
SectionEnd

; On 64-bit Windows the registry entries (the uninstall entry, the settings)
; are the 64-bit view's, where the program of either build keeps its settings;
; 32-bit Windows has only one view.
!macro UseNativeRegistryView
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro UseNativeRegistryView
  ; An upgrade goes where the earlier install went, unless /D= names a
  ; folder (then $INSTDIR is no longer the default).
  ${If} $INSTDIR == "$PROGRAMFILES64\Pipstack"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${IfThen} $0 != "" ${|} StrCpy $INSTDIR $0 ${|}
  ${EndIf}
  ; Shortcuts for every user, as the program serves the whole machine.
  SetShellVarContext all
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/STARTATLOGON" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecLogon}
  ${EndIf}
FunctionEnd

Section "un.Pipstack" SecUnProgram
  SectionIn RO
  Call un.CloseRunningMeter
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /F /TN "${LOGON_TASK}"'
  Pop $0

  Delete "${SHORTCUT}"
  Delete "$INSTDIR\pipstack.exe"
  Delete "$INSTDIR\pipstack-virtual-port.dll"
  Delete "$INSTDIR\ledview.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\docs\*.png"
  RMDir "$INSTDIR\docs"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Settings (HKLM\Software\Pipstack)" SecUnSettings
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd

Function un.onInit
  !insertmacro UseNativeRegistryView
  SetShellVarContext all
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
