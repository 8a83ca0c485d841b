; The reference installer: what Debian's makensis makes of the same wizard with the
; Modern UI (welcome, licence, destination and installation pages), the same four files
; and the same three shortcuts, payload stored uncompressed.
;   makensis -DTARGET=x86-unicode -DPAYLOAD=<folder> -DLICENCE=<file> -DOUTFILE=<exe>
; PAYLOAD holds QelPictura.exe, help.htm, happysmile.qelpictura and Uninstall.exe;
; LICENCE is the licence text as a UTF-8 file.
Unicode true
Target ${TARGET}
SetCompress off
Name "QelPictura"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\QelPictura"
RequestExecutionLevel admin

!include "MUI2.nsh"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\QelPictura.exe"
  File "${PAYLOAD}\help.htm"
  File "${PAYLOAD}\Uninstall.exe"
  SetOutPath "$INSTDIR\temi"
  File "${PAYLOAD}\happysmile.qelpictura"
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\QelPictura.lnk" "$INSTDIR\QelPictura.exe"
  CreateDirectory "$SMPROGRAMS\QelPictura"
  CreateShortcut "$SMPROGRAMS\QelPictura\QelPictura.lnk" "$INSTDIR\QelPictura.exe"
  CreateShortcut "$SMPROGRAMS\QelPictura\Rimuovi QelPictura dal computer.lnk" "$INSTDIR\Uninstall.exe"
SectionEnd
