; The Windows x64 setup program. Built on Linux by scripts/make-packages.sh:
;   makensis -DVERSION=<x.y.z> -DSTAGE=<folder> -DLICENCE_PAGE=<file> -DOUTFILE=<setup.exe> tarvel.nsi
; STAGE holds the files as the zip lays them out (VST3\, CLAP\, VST2\) and
; LICENSE.txt and NOTICES.txt; LICENCE_PAGE is the text the licence page shows.
;
; Silent use: Tarvel-<version>-windows-x64-setup.exe /S [/D=<VST 2 folder>]
; and "%ProgramFiles%\Tarvel\Uninstall.exe" /S.

Unicode true
; A 64-bit installer: it sees the 64-bit Program Files and registry, and the
; plug-in it installs only loads into 64-bit hosts anyway.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WordFunc.nsh

!define PRODUCT "Tarvel"
!define PUBLISHER "Vantle Audio"
!define PRODUCT_KEY "Software\Vantle Audio\Tarvel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvel"
!define APP_FOLDER "$PROGRAMFILES64\Tarvel"
!define VST3_FOLDER "$COMMONFILES64\VST3"
!define CLAP_FOLDER "$COMMONFILES64\CLAP"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
; The folder the directory page and /D= choose is the VST 2 plug-in folder;
; the one of the last install is offered again.
InstallDir "$PROGRAMFILES64\VSTPlugins"
InstallDirRegKey HKLM "${PRODUCT_KEY}" "VST2Folder"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup (Windows x64)"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GNU General Public License version 3 or later"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE_PAGE}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE RequireAFormat
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst2FolderPage
!define MUI_PAGE_HEADER_TEXT "VST 2 plug-in folder"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder your VST 2 host scans for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the VST 2 plug-in Tarvel64.dll in this folder. Choose the folder your host scans for VST 2 plug-ins. (The VST 3 and CLAP plug-ins go to the standard folders under Common Files.)"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST 2 plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var previousVersion

; A folder Setup makes is recorded, so that the uninstaller removes it
; again (when empty) and leaves alone one that was there before.
!macro RecordNewFolder folder value
  ${IfNot} ${FileExists} "${folder}\*.*"
    WriteRegDWORD HKLM "${PRODUCT_KEY}" "${value}" 1
  ${EndIf}
!macroend

Section "VST 3 plug-in" SecVst3
  !insertmacro RecordNewFolder "${VST3_FOLDER}" "MadeVST3Folder"
  ; A new bundle replaces an older version's whole bundle.
  RMDir /r "${VST3_FOLDER}\Tarvel64.vst3"
  SetOutPath "${VST3_FOLDER}\Tarvel64.vst3\Contents\x86_64-win"
  File "${STAGE}\VST3\Tarvel64.vst3\Contents\x86_64-win\Tarvel64.vst3"
  SetOutPath "${VST3_FOLDER}\Tarvel64.vst3\Contents\Resources"
  File "${STAGE}\VST3\Tarvel64.vst3\Contents\Resources\moduleinfo.json"
  WriteRegDWORD HKLM "${PRODUCT_KEY}" "VST3" 1
SectionEnd

Section "CLAP plug-in" SecClap
  !insertmacro RecordNewFolder "${CLAP_FOLDER}" "MadeCLAPFolder"
  SetOutPath "${CLAP_FOLDER}"
  File "${STAGE}\CLAP\Tarvel64.clap"
  WriteRegDWORD HKLM "${PRODUCT_KEY}" "CLAP" 1
SectionEnd

Section "VST 2 plug-in" SecVst2
  ; An upgrade that moves the VST 2 plug-in takes it out of the old folder.
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "VST2Folder"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    Call RemoveVst2
  ${EndIf}
  !insertmacro RecordNewFolder "$INSTDIR" "MadeVST2Folder"
  SetOutPath "$INSTDIR"
  File "${STAGE}\VST2\Tarvel64.dll"
  WriteRegStr HKLM "${PRODUCT_KEY}" "VST2Folder" "$INSTDIR"
SectionEnd

; Components unticked in an upgrade are taken away, and the uninstaller and
; its Add/Remove Programs entry are written.
Section "-Register" SecRegister
  ${IfNot} ${SectionIsSelected} ${SecVst3}
    Call RemoveVst3
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecClap}
    Call RemoveClap
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecVst2}
    Call RemoveVst2
  ${EndIf}

  SetOutPath "${APP_FOLDER}"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\NOTICES.txt"
  WriteUninstaller "${APP_FOLDER}\Uninstall.exe"
  WriteRegStr HKLM "${PRODUCT_KEY}" "Version" "${VERSION}"

  ; The size of what is installed, in KiB, as Add/Remove Programs shows it.
  StrCpy $1 0
  ${If} ${SectionIsSelected} ${SecVst3}
    SectionGetSize ${SecVst3} $0
    IntOp $1 $1 + $0
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecClap}
    SectionGetSize ${SecClap} $0
    IntOp $1 $1 + $0
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecVst2}
    SectionGetSize ${SecVst2} $0
    IntOp $1 $1 + $0
  ${EndIf}
  SectionGetSize ${SecRegister} $0
  IntOp $1 $1 + $0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://vantle.audio"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${APP_FOLDER}\Uninstall.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${APP_FOLDER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${APP_FOLDER}\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${APP_FOLDER}\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst3} "Tarvel64.vst3 in Common Files\VST3, where every VST 3 host looks."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecClap} "Tarvel64.clap in Common Files\CLAP, where every CLAP host looks."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst2} "Tarvel64.dll in the VST 2 plug-in folder you choose next."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; The 64-bit setup program does not start on 32-bit Windows at all
  ; (Windows itself says it is not compatible); this says why wherever it
  ; is started in a 32-bit view nonetheless.
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Tarvel needs 64-bit Windows: its plug-ins load only into 64-bit hosts." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  ; Files go to Program Files and the registry's machine-wide part.
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "Installing Tarvel needs administrator rights: run Setup as an administrator." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}

  ; An older or the same version is upgraded in place; a newer one is kept
  ; unless the user says otherwise (a silent install keeps it).
  ReadRegStr $previousVersion HKLM "${PRODUCT_KEY}" "Version"
  ${If} $previousVersion != ""
    ${VersionCompare} "$previousVersion" "${VERSION}" $0
    ${If} $0 == 1
      MessageBox MB_YESNO|MB_ICONQUESTION "Tarvel $previousVersion, newer than this ${VERSION}, is installed. Replace it with ${VERSION}?" /SD IDNO IDYES +2
      Abort
    ${EndIf}
    ; The components of the installed version stay as they were.
    ReadRegDWORD $0 HKLM "${PRODUCT_KEY}" "VST3"
    ${If} $0 != 1
      !insertmacro UnselectSection ${SecVst3}
    ${EndIf}
    ReadRegDWORD $0 HKLM "${PRODUCT_KEY}" "CLAP"
    ${If} $0 != 1
      !insertmacro UnselectSection ${SecClap}
    ${EndIf}
    ReadRegStr $0 HKLM "${PRODUCT_KEY}" "VST2Folder"
    ${If} $0 == ""
      !insertmacro UnselectSection ${SecVst2}
    ${EndIf}
  ${EndIf}
FunctionEnd

; Nothing to install is no install: the components page stays.
Function RequireAFormat
  ${IfNot} ${SectionIsSelected} ${SecVst3}
  ${AndIfNot} ${SectionIsSelected} ${SecClap}
  ${AndIfNot} ${SectionIsSelected} ${SecVst2}
    MessageBox MB_ICONEXCLAMATION "Choose at least one plug-in format to install."
    Abort
  ${EndIf}
FunctionEnd

Function SkipVst2FolderPage
  ${IfNot} ${SectionIsSelected} ${SecVst2}
    Abort
  ${EndIf}
FunctionEnd

; The removal steps, shared by the installer (a component unticked in an
; upgrade) and the uninstaller.
!macro RemovalFunctions prefix
Function ${prefix}RemoveVst3
  RMDir /r "${VST3_FOLDER}\Tarvel64.vst3"
  ReadRegDWORD $0 HKLM "${PRODUCT_KEY}" "MadeVST3Folder"
  ${If} $0 == 1
    RMDir "${VST3_FOLDER}"
  ${EndIf}
  DeleteRegValue HKLM "${PRODUCT_KEY}" "VST3"
FunctionEnd

Function ${prefix}RemoveClap
  Delete "${CLAP_FOLDER}\Tarvel64.clap"
  ReadRegDWORD $0 HKLM "${PRODUCT_KEY}" "MadeCLAPFolder"
  ${If} $0 == 1
    RMDir "${CLAP_FOLDER}"
  ${EndIf}
  DeleteRegValue HKLM "${PRODUCT_KEY}" "CLAP"
FunctionEnd

; Only Tarvel64.dll leaves the VST 2 folder; the folder goes too when Setup
; made it and nothing else is in it.
Function ${prefix}RemoveVst2
  ReadRegStr $0 HKLM "${PRODUCT_KEY}" "VST2Folder"
  ${If} $0 != ""
    Delete "$0\Tarvel64.dll"
    ReadRegDWORD $1 HKLM "${PRODUCT_KEY}" "MadeVST2Folder"
    ${If} $1 == 1
      RMDir "$0"
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKLM "${PRODUCT_KEY}" "VST2Folder"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "MadeVST2Folder"
FunctionEnd
!macroend
!insertmacro RemovalFunctions ""
!insertmacro RemovalFunctions "un."

Function un.onInit
  SetRegView 64
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "Removing Tarvel needs administrator rights." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.RemoveVst3
  Call un.RemoveClap
  Call un.RemoveVst2
  Delete "${APP_FOLDER}\LICENSE.txt"
  Delete "${APP_FOLDER}\NOTICES.txt"
  Delete "${APP_FOLDER}\Uninstall.exe"
  RMDir "${APP_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Vantle Audio"
SectionEnd
