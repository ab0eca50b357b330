; The rest of the BASIC as far as the floating-point modules need it, for their tests: the
; interpreter's error entry halts with the error number still in E.
        .module fpstub
        .area   _CODE
error::
        halt

; The BASIC links some of these modules to run from RAM: here every such area runs where
; it is linked, in this image (the build gives them addresses).
        .area   _RCODE0
        .area   _RCODE1
        .area   _RCODE2
        .area   _RCODE3
