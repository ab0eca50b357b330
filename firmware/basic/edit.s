; Editing the program: RENUM, AUTO, DELETE, EDIT.
        .module edit
        .include "basic.inc"

        .area   _CODE

st_renum:: st_auto:: st_delete:: st_edit::
        jp      err_syntax
auto_prompt:: auto_next:: auto_off::
        ret
