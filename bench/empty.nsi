; The smallest installer Debian's makensis makes: no page, no file, one empty section.
;   makensis -DTARGET=x86-unicode -DOUTFILE=<exe>
Unicode true
Target ${TARGET}
OutFile "${OUTFILE}"
Section
SectionEnd
