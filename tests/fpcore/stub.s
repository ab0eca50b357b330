; The rest of the BASIC as far as the floating-point modules need it, for their tests: the
; interpreter's error entry halts with the error number still in E.
        .module fpstub
        .area   _CODE
error::
        halt
