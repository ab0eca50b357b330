; Errors: the classic messages and numbers, ON ERROR GOTO with ERR and ERL, RESUME and
; ERROR. Every error enters `error` with E = its number; the entry points below load it.
        .module errors
        .include "basic.inc"

        .area   _DATA
errnum::        .ds     1               ; ERR
errline:        .ds     2               ; ERL: the failed line's number, 0 in direct mode
onerr_num:      .ds     2               ; ON ERROR GOTO: the handler's line number, 0 none
in_trap:        .ds     1               ; the handler is running (until RESUME)
res_txt:        .ds     2               ; RESUME: the failed statement and its line (kept
res_lin:        .ds     2               ; only while in_trap: every edit clears it)
err_trap::      .ds     2               ; not 0: errors go there instead (LOAD's bad lines)

        .area   _RCODE2

err_next::       ld      e, #ERR_NF
        .db     0x01                    ; ld bc, nn: skips the next load
err_syntax::     ld      e, #ERR_SN
        .db     0x01                    ; ld bc, nn: skips the next load
err_return::     ld      e, #ERR_RG
        .db     0x01                    ; ld bc, nn: skips the next load
err_data::       ld      e, #ERR_OD
        .db     0x01                    ; ld bc, nn: skips the next load
err_illegal::    ld      e, #ERR_FC
        .db     0x01                    ; ld bc, nn: skips the next load
err_overflow::   ld      e, #ERR_OV
        .db     0x01                    ; ld bc, nn: skips the next load
err_memory::     ld      e, #ERR_OM
        .db     0x01                    ; ld bc, nn: skips the next load
err_undefline::  ld      e, #ERR_UL
        .db     0x01                    ; ld bc, nn: skips the next load
err_subscript::  ld      e, #ERR_BS
        .db     0x01                    ; ld bc, nn: skips the next load
err_dupdef::     ld      e, #ERR_DD
        .db     0x01                    ; ld bc, nn: skips the next load
err_divzero::    ld      e, #ERR_DZ
        .db     0x01                    ; ld bc, nn: skips the next load
err_direct::     ld      e, #ERR_ID
        .db     0x01                    ; ld bc, nn: skips the next load
err_type::       ld      e, #ERR_TM
        .db     0x01                    ; ld bc, nn: skips the next load
err_strings::    ld      e, #ERR_OS
        .db     0x01                    ; ld bc, nn: skips the next load
err_long::       ld      e, #ERR_LS
        .db     0x01                    ; ld bc, nn: skips the next load
err_complex::    ld      e, #ERR_ST
        .db     0x01                    ; ld bc, nn: skips the next load
err_cont::       ld      e, #ERR_CN
        .db     0x01                    ; ld bc, nn: skips the next load
err_undeffn::    ld      e, #ERR_UF
        .db     0x01                    ; ld bc, nn: skips the next load
err_resume::     ld      e, #ERR_RE
        .db     0x01                    ; ld bc, nn: skips the next load
err_missing::    ld      e, #ERR_MO
        .db     0x01                    ; ld bc, nn: skips the next load
err_lbo::        ld      e, #ERR_LBO
        .db     0x01                    ; ld bc, nn: skips the next load
err_while::      ld      e, #ERR_WH
        .db     0x01                    ; ld bc, nn: skips the next load
err_wend::       ld      e, #ERR_WE
        .db     0x01                    ; ld bc, nn: skips the next load
err_badfile::    ld      e, #ERR_BN
        .db     0x01                    ; ld bc, nn: skips the next load
err_notfound::   ld      e, #ERR_FNF
        .db     0x01                    ; ld bc, nn: skips the next load
err_mode::       ld      e, #ERR_BM
        .db     0x01                    ; ld bc, nn: skips the next load
err_open::       ld      e, #ERR_AO
        .db     0x01                    ; ld bc, nn: skips the next load
err_io::         ld      e, #ERR_IO
        .db     0x01                    ; ld bc, nn: skips the next load
err_eof::        ld      e, #ERR_EOF
        .db     0x01                    ; ld bc, nn: skips the next load
err_name::       ld      e, #ERR_NAME
        .db     0x01                    ; ld bc, nn: skips the next load
err_nodev::      ld      e, #ERR_DEV

error::
        ld      hl, (err_trap)
        ld      a, h
        or      l
        jr      z, 1$
        jp      (hl)
1$:     ld      a, e
        ld      (errnum), a
        ld      hl, (curlin)
        ld      a, h                    ; a handler, a program running, not in the handler
        or      l
        jr      z, 2$
        inc     hl                      ; ERL keeps the number: edits move the line
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
2$:     ld      (errline), hl           ; (the flags are still those of the test)
        jr      z, report
        ld      a, (in_trap)
        or      a
        jr      nz, report
        ld      de, (onerr_num)
        ld      a, d
        or      e
        jr      z, report
        call    prg_find
        jr      nz, report
        ld      a, #1
        ld      (in_trap), a
        ld      de, (stmt_txt)
        ld      (res_txt), de
        ld      de, (curlin)
        ld      (res_lin), de
        ld      sp, (stmt_sp)
        push    hl
        call    str_reset
        call    chan_end
        pop     hl
        jp      goto_line
report: ld      sp, #STACK_TOP
        xor     a
        ld      (in_trap), a
        call    str_reset
        call    quiet_screen
        ld      a, (errnum)
        call    err_text
        call    prt_in_line
        call    files_close_print
        jp      ready

; RUN, CLEAR, NEW, editing and LOAD (through prg_clear): no handler, none running, so
; RESUME has nothing to go back to. Keeps BC and DE.
err_clear::
        ld      hl, #0
        ld      (onerr_num), hl
        xor     a
        ld      (in_trap), a
        ret

; Prints the message of error A.
err_text::
        ld      c, a
        ld      hl, #msg_table
1$:     ld      a, (hl)
        or      a
        jr      z, 3$
        inc     hl
        cp      c
        jr      z, 4$
2$:     bit     7, (hl)
        inc     hl
        jr      z, 2$
        jr      1$
3$:     ld      hl, #msg_unknown
4$:     ld      a, (hl)
        and     #0x7F
        call    prt_chr
        bit     7, (hl)
        inc     hl
        jr      z, 4$
        ret

; ON ERROR GOTO line (0: no handler; inside the handler it reports the error now)
on_error::
        rst     0x10
        rst     0x08
        .db     TK_GOTO
        cp      #T_LINE
        call    nz, skip_txt
        jp      nz, err_syntax
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        inc     hl
        inc     hl
        ld      (onerr_num), de
        ld      a, d
        or      e
        ret     nz
        ld      a, (in_trap)
        or      a
        ret     z
        ld      hl, (res_lin)
        ld      (curlin), hl
        jr      report

; RESUME [NEXT | line]: back from the handler to the statement that failed, the one after
; it, or a line.
st_resume::
        ld      a, (in_trap)
        or      a
        jp      z, err_resume
        xor     a
        ld      (in_trap), a
        rst     0x20
        jr      z, 2$
        cp      #TK_NEXT
        jr      z, 3$
        cp      #T_LINE
        call    nz, skip_txt
        jp      nz, err_syntax
        inc     hl                      ; RESUME 0 is RESUME
        ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        dec     hl
        jr      z, 2$
        call    line_ref
        pop     de
        jp      goto_line
2$:     pop     de
        ld      hl, (res_lin)
        ld      (curlin), hl
        ld      hl, (res_txt)
        dec     hl
        jp      exec_stmt
3$:     pop     de
        ld      hl, (res_lin)
        ld      (curlin), hl
        ld      hl, (res_txt)
4$:     ld      a, (hl)                 ; over the failed statement
        or      a
        jp      z, newstt
        cp      #':
        jp      z, newstt
        call    skip_token
        jr      4$

; ERROR n
st_error::
        call    eval_byte
        or      a
        jp      z, err_illegal
        ld      e, a
        jp      error

; ERR and ERL
fn_erl::
        push    hl
        ld      hl, (errline)           ; line numbers go past 32767
        call    fp_from_u16
        ld      a, #VT_FLT
        ld      (valtyp), a
        jr      err_end
fn_err::
        push    hl
        ld      a, (errnum)
        ld      l, a
        ld      h, #0
        call    ret_int
err_end:
        pop     hl
        rst     0x10
        ret

msg_unknown:
        .ascii  "Unprintable erro"
        .db     'r|0x80
msg_table:
        .db     ERR_NF
        .ascii  "NEXT without FO"
        .db     'R|0x80
        .db     ERR_SN
        .ascii  "Syntax erro"
        .db     'r|0x80
        .db     ERR_RG
        .ascii  "RETURN without GOSU"
        .db     'B|0x80
        .db     ERR_OD
        .ascii  "Out of DAT"
        .db     'A|0x80
        .db     ERR_FC
        .ascii  "Illegal function cal"
        .db     'l|0x80
        .db     ERR_OV
        .ascii  "Overflo"
        .db     'w|0x80
        .db     ERR_OM
        .ascii  "Out of memor"
        .db     'y|0x80
        .db     ERR_UL
        .ascii  "Undefined line numbe"
        .db     'r|0x80
        .db     ERR_BS
        .ascii  "Subscript out of rang"
        .db     'e|0x80
        .db     ERR_DD
        .ascii  "Duplicate definitio"
        .db     'n|0x80
        .db     ERR_DZ
        .ascii  "Division by zer"
        .db     'o|0x80
        .db     ERR_ID
        .ascii  "Illegal direc"
        .db     't|0x80
        .db     ERR_TM
        .ascii  "Type mismatc"
        .db     'h|0x80
        .db     ERR_OS
        .ascii  "Out of string spac"
        .db     'e|0x80
        .db     ERR_LS
        .ascii  "String too lon"
        .db     'g|0x80
        .db     ERR_ST
        .ascii  "String formula too comple"
        .db     'x|0x80
        .db     ERR_CN
        .ascii  "Can't continu"
        .db     'e|0x80
        .db     ERR_UF
        .ascii  "Undefined user functio"
        .db     'n|0x80
        .db     ERR_NR
        .ascii  "No RESUM"
        .db     'E|0x80
        .db     ERR_RE
        .ascii  "RESUME without erro"
        .db     'r|0x80
        .db     ERR_MO
        .ascii  "Missing operan"
        .db     'd|0x80
        .db     ERR_LBO
        .ascii  "Line buffer overflo"
        .db     'w|0x80
        .db     ERR_FN
        .ascii  "FOR without NEX"
        .db     'T|0x80
        .db     ERR_WH
        .ascii  "WHILE without WEN"
        .db     'D|0x80
        .db     ERR_WE
        .ascii  "WEND without WHIL"
        .db     'E|0x80
        .db     ERR_BN
        .ascii  "Bad file numbe"
        .db     'r|0x80
        .db     ERR_FNF
        .ascii  "File not foun"
        .db     'd|0x80
        .db     ERR_BM
        .ascii  "Bad file mod"
        .db     'e|0x80
        .db     ERR_AO
        .ascii  "File already ope"
        .db     'n|0x80
        .db     ERR_IO
        .ascii  "File erro"
        .db     'r|0x80
        .db     ERR_EOF
        .ascii  "Input past en"
        .db     'd|0x80
        .db     ERR_NAME
        .ascii  "Bad file nam"
        .db     'e|0x80
        .db     ERR_DEV
        .ascii  "No devic"
        .db     'e|0x80
        .db     0
