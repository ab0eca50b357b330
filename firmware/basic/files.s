; Files: SAVE, LOAD, MERGE, the data files (OPEN, CLOSE, PRINT #, INPUT #, LINE INPUT #,
; EOF) and the printer (LLIST, LPRINT), through the two device ROMs.
        .module files
        .include "basic.inc"

        .area   _CODE

; For now: PRINT goes to the screen, and the file statements are not there yet.
chan_select::
        rst     0x20
        ret
chan_end::
        ret
file_input:: file_get:: run_file:: st_save:: st_load:: st_merge:: st_open:: st_close::
st_llist:: st_lprint:: fn_eof::
        jp      err_syntax
files_close:: files_close_print:: dev_close_all:: pr_end::
        ret
