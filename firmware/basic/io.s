; Input and output: the output channel and number printing, PRINT, INPUT, LINE INPUT, GET,
; READ with DATA and RESTORE, and the small machine statements (CLS, LOCATE, POKE, OUT,
; WAIT, CALL, SOUND). Output goes through prt_chr to the screen, the printer or a file.
        .module io
        .include "basic.inc"

ZONE            = 10                    ; PRINT's comma moves to the next 10-column zone

        .area   _DATA
outvec::        .ds     2               ; where prt_chr sends a character
chan::          .ds     1               ; 0 the screen, else the printer or a file
dev_col::       .ds     1               ; the column on the printer or in a file
nbuf:           .ds     9               ; a sign may go in front of the digits
inp_vars:       .ds     2               ; INPUT: the first variable in the statement
inp_ptr::       .ds     2               ; INPUT, READ: the next character to take
inp_line::      .ds     1               ; LINE INPUT
datptr::        .ds     2               ; READ: where the next item is looked for
datin:          .ds     1               ; 1 when datptr is inside a DATA statement
datlin:         .ds     2               ; the line of the DATA being read
cont_exec::     .ds     1               ; CONT runs the statement again (a broken INPUT)
inp_plen:       .ds     1               ; INPUT: the prompt's length (its text at inp_ptr)
inp_q:          .ds     1               ; INPUT: "? " after the prompt
inp_data:       .ds     1               ; READ: a colon ends an unquoted field

        .area   _RCODE0

; Output to the screen.
io_reset::
        ld      hl, #con_putc
        ld      (outvec), hl
        xor     a
        ld      (chan), a
        ret

; Prints A on the current channel. Keeps BC, DE, HL.
prt_chr::
        push    hl
        ld      hl, (outvec)
        ex      (sp), hl
        ret

; Prints the zero-terminated text at HL; HL after it.
prt_str::
        ld      a, (hl)
        inc     hl
        or      a
        ret     z
        call    prt_chr
        jr      prt_str

; B = the length of the zero-terminated text at HL. Keeps HL.
str_len::
        push    hl
        ld      b, #0
1$:     ld      a, (hl)
        or      a
        jr      z, 2$
        inc     hl
        inc     b
        jr      1$
2$:     pop     hl
        ret

; The column of the current channel.
chan_col::
        ld      a, (chan)
        or      a
        jp      z, con_col
        ld      a, (dev_col)
        ret

; HL as an unsigned number in decimal: HL = the text (in nbuf), B = its length.
fmt_uint::
        ld      de, #nbuf + 1
        ld      bc, #-10000
        call    1$
        ld      bc, #-1000
        call    1$
        ld      bc, #-100
        call    1$
        ld      bc, #-10
        call    1$
        ld      a, l
        add     a, #'0
        ld      (de), a
        inc     de
        xor     a
        ld      (de), a
        ld      hl, #nbuf + 1           ; no leading zeros
        ld      b, #5
2$:     ld      a, b
        dec     a
        ret     z
        ld      a, (hl)
        cp      #'0
        ret     nz
        inc     hl
        dec     b
        jr      2$
1$:     ld      a, #'0 - 1
3$:     inc     a
        add     hl, bc
        jr      c, 3$
        sbc     hl, bc
        ld      (de), a
        inc     de
        ret

prt_uint::
        call    fmt_uint
        jr      prt_str

; "n bytes free"
prt_free::
        call    str_gc
        call    free_bytes
        call    prt_uint
        ld      hl, #msg_free
        jr      prt_str

; HL = the bytes between the arrays and the strings.
free_bytes::
        ld      hl, (fretop)
        ld      de, (strend)
        or      a
        sbc     hl, de
        ret

msg_free:
        .ascii  " bytes free"
        .db     13, 0

; The tone stops.
sound_off::
        xor     a
        ld      (snd_timer), a
        out     (PORT_SOUND), a
        ret

; Prints the value as PRINT shows it: numbers with a blank (or minus) before and a blank
; after, on a new row when they would not fit on the screen's row; strings as they are.
prt_value::
        ld      a, (valtyp)
        cp      #VT_STR
        jr      z, 3$
        call    num_text
        call    str_len
        ld      a, (chan)
        or      a
        jr      nz, 1$
        push    hl
        push    bc
        call    con_col
        pop     bc
        pop     hl
        or      a
        jr      z, 1$
        add     a, b
        cp      #41
        ld      a, #13
        call    nc, prt_chr
1$:     call    prt_str
        ld      a, #0x20
        jp      prt_chr
3$:     ld      de, (fac)
        call    str_use
; Prints B characters from HL.
prt_n::
        ld      a, b
        or      a
        ret     z
1$:     ld      a, (hl)
        call    prt_chr
        inc     hl
        djnz    1$
        ret

; PRINT [#n,] [AT row, column;] items with ; , TAB(n) SPC(n)
st_print::
        call    chan_select
        call    pr_items
        jp      chan_end
pr_items::
        jr      z, pr_newline
pr_loop:
        cp      #';
        jr      z, pr_semi
        cp      #',
        jr      z, pr_comma
        cp      #TK_TAB
        jr      z, pr_tab
        cp      #TK_SPC
        jr      z, pr_spc
        cp      #TK_AT
        jr      z, pr_at
        cp      #TK_ELSE
        jr      z, pr_newline
        call    eval
        push    hl
        call    prt_value
        pop     hl
        rst     0x20
        jr      nz, pr_loop             ; items may follow each other without a separator
pr_newline:
        ld      a, #13
        jp      prt_chr
pr_semi:
        rst     0x10
pr_more:                                ; after ; , TAB or SPC: the end or ELSE ends the line there
        ret     z
        cp      #TK_ELSE
        ret     z
        jr      pr_loop
pr_comma:
        call    chan_col
        ld      b, a
        ld      c, #0
1$:     ld      a, c                    ; the next zone
        add     a, #ZONE
        ld      c, a
        cp      b
        jr      c, 1$
        jr      z, 1$
        cp      #40
        jr      c, 2$
        ld      a, (chan)
        or      a
        jr      nz, 2$
        ld      a, #13                  ; past the last zone: a new line
        call    prt_chr
        jr      3$
2$:     call    pr_spaces_to
3$:     rst     0x10
        jr      pr_more
pr_tab: call    arg_byte
        ld      c, a
        call    pr_spaces_to
        jr      pr_after
pr_spc: call    arg_byte
        ld      b, a
        call    pr_spaces
pr_after:
        rst     0x20
        jr      pr_more
pr_at:  rst     0x10
        call    st_locate
        jr      pr_after

; Blanks up to column C.
pr_spaces_to:
        call    chan_col
        ld      b, a
        ld      a, c
        sub     b
        ret     c
        ret     z
        ld      b, a
; B blanks.
pr_spaces:
        ld      a, b
        or      a
        ret     z
1$:     ld      a, #0x20
        call    prt_chr
        djnz    1$
        ret

; (n): a byte argument in brackets into A.
arg_byte::
        rst     0x10
        rst     0x08
        .db     '(
        call    eval_byte
        push    af
        rst     0x08
        .db     ')
        pop     af
        ret

; INPUT [#n,] ["prompt";|,] variable, ...   LINE INPUT ["prompt";] string variable
st_line::
        rst     0x08
        .db     TK_INPUT
        ld      a, #1
        jr      input
st_input::
        xor     a
input:  ld      (inp_line), a
        rst     0x20
        cp      #'#
        jp      z, file_input
        ld      a, (hl)
        cp      #'"
        jr      nz, 2$
        call    eval_str                ; the prompt
        push    hl
        call    str_use
        ld      (inp_ptr), hl           ; kept for asking again
        ld      a, b
        ld      (inp_plen), a
        pop     hl
        rst     0x20
        ld      c, #1                   ; ; asks with "? ", a comma without
        cp      #';
        jr      z, 1$
        ld      c, #0
        cp      #',
        jp      nz, err_syntax
1$:     ld      a, c
        ld      (inp_q), a
        rst     0x10
        jr      3$
2$:     xor     a
        ld      (inp_plen), a
        inc     a
        ld      (inp_q), a
3$:     ld      (inp_vars), hl
inp_ask:
        ld      hl, (inp_ptr)
        ld      a, (inp_plen)
        ld      b, a
        call    prt_n
        ld      a, (inp_line)
        or      a
        jr      nz, 1$
        ld      a, (inp_q)
        or      a
        ld      hl, #msg_q
        call    nz, prt_str
1$:     call    con_getline
        jp      c, inp_break
        ld      (inp_ptr), hl
        ld      hl, (inp_vars)
        ld      a, (inp_line)
        or      a
        jr      nz, inp_whole
inp_var:
        call    any_var
        push    hl
        push    de
        push    af
        call    inp_field               ; the next field as a value of type A
        jr      c, inp_redo
        pop     af
        pop     de
        call    assign
        pop     hl
        rst     0x20
        cp      #',
        jr      nz, inp_end
        rst     0x10
        push    hl
        ld      hl, (inp_ptr)           ; more variables: a comma, or ask again with ??
        call    skip_blanks
        cp      #',
        jr      nz, 2$
        inc     hl
        ld      (inp_ptr), hl
        pop     hl
        jr      inp_var
2$:     pop     hl
        ld      (inp_vars), hl
        ld      hl, #msg_qq
        call    prt_str
        xor     a
        ld      (inp_plen), a
        ld      (inp_q), a
        jr      inp_ask
inp_end:
        push    hl
        ld      hl, (inp_ptr)
        call    skip_blanks
        or      a
        ld      hl, #msg_extra
        call    nz, prt_str
        pop     hl
        ret
inp_redo:
        ld      hl, #msg_redo
        call    prt_str
        ld      hl, (stmt_sp)
        ld      sp, hl
        ld      hl, (stmt_txt)          ; the whole statement again
        dec     hl
        jp      exec_stmt
inp_whole::                             ; LINE INPUT: the whole line into a string
        call    any_var
        cp      #VT_STR
        jp      nz, err_type
        push    hl
        push    de
        ld      hl, (inp_ptr)
        call    str_len
        ld      a, b
        ex      de, hl
        call    str_temp
        ld      (fac), hl
        ld      a, #VT_STR
        ld      (valtyp), a
        pop     de
        pop     hl
        jp      assign
inp_break:                              ; Ctrl+C (INPUT, GET): CONT asks again
        ld      hl, (stmt_txt)
        dec     hl
        ld      a, #1
        ld      sp, (stmt_sp)
        jp      stop_here

msg_q:  .ascii  "? "
        .db     0
msg_qq: .ascii  "?? "
        .db     0
msg_redo:
        .ascii  "?Redo from start"
        .db     13, 0
msg_extra:
        .ascii  "?Extra ignored"
        .db     13, 0

; HL past blanks; A = the character there.
skip_blanks::
        ld      a, (hl)
        cp      #0x20
        ret     nz
        inc     hl
        jr      skip_blanks

; The next field of the input at inp_ptr as a value of type A (VT_*), in fac and valtyp;
; inp_ptr moves past it. Carry set when a number field is not a number. Fields end at a
; comma; a string may be quoted.
inp_field::
        push    af
        ld      hl, (inp_ptr)
        call    skip_blanks
        pop     af
        cp      #VT_STR
        jr      z, 3$
        push    af
        call    fp_fin
        jr      c, 9$
        call    skip_blanks
        or      a
        jr      z, 1$
        cp      #':
        jr      z, 1$
        cp      #',
        jr      nz, 9$
1$:     ld      (inp_ptr), hl
        ld      a, #VT_FLT
        ld      (valtyp), a
        pop     af
        or      a
        ret
9$:     pop     af
        scf
        ret
3$:     ld      b, #0                   ; a string
        ld      a, (hl)
        cp      #'"
        jr      nz, 5$
        inc     hl                      ; quoted: to the closing quote
        ld      d, h
        ld      e, l
4$:     ld      a, (hl)
        or      a
        jr      z, 7$
        inc     hl
        cp      #'"
        jr      z, 6$
        inc     b
        jr      4$
6$:     push    de
        call    skip_blanks
        pop     de
        jr      7$
5$:     ld      d, h                    ; unquoted: to a comma, trailing blanks dropped
        ld      e, l
        ld      c, #0
51$:    ld      a, (hl)
        or      a
        jr      z, 52$
        cp      #',
        jr      z, 52$
        cp      #':
        jr      nz, 53$
        ld      a, (inp_data)
        or      a
        jr      nz, 52$
        ld      a, #':
53$:
        inc     hl
        inc     c
        cp      #0x20
        jr      z, 51$
        ld      b, c
        jr      51$
52$:
7$:     ld      (inp_ptr), hl
        ld      a, b
        call    str_temp
        ld      (fac), hl
        ld      a, #VT_STR
        ld      (valtyp), a
        or      a
        ret

; GET v: waits for a key; a string variable gets the character, a number its code.
st_get::
        cp      #'#
        jp      z, file_get
        call    any_var
        push    hl
        push    de
        push    af
        call    con_getkey
        jp      c, inp_break            ; Ctrl+C: CONT waits again
        ld      (nbuf), a
        pop     af
        pop     de
        push    de
        push    af
        cp      #VT_STR
        jr      z, 2$
        ld      a, (nbuf)
        ld      l, a
        ld      h, #0
        call    ret_int
        jr      4$
2$:     ld      a, #1
        ld      de, #nbuf
        call    str_temp
        ld      (fac), hl
        ld      a, #VT_STR
        ld      (valtyp), a
4$:     pop     af
        pop     de
        call    assign
        pop     hl
        ret

; READ v, ...: the next DATA items.
st_read::
        call    any_var
        push    hl
        push    de
        push    af
        call    data_next               ; HL = the item
        ld      (inp_ptr), hl
        ld      a, #1
        ld      (inp_data), a
        pop     af
        push    af
        call    inp_field
        ld      hl, #inp_data
        ld      (hl), #0
        jp      c, data_error
        ld      hl, (inp_ptr)
        ld      (datptr), hl
        pop     af
        pop     de
        call    assign
        pop     hl
        rst     0x20
        cp      #',
        ret     nz
        rst     0x10
        jr      st_read

; A DATA item that does not fit its variable: a syntax error in the DATA's line.
data_error:
        ld      hl, (datlin)
        ld      (curlin), hl
        jp      err_syntax

; Finds the next DATA item: HL = its first character. datin: 1 inside a DATA statement
; after an item, 2 at the start of the line at datptr, 0 anywhere else.
data_next:
        ld      hl, (datptr)
        ld      a, (datin)
        cp      #1
        jr      nz, 2$
        call    skip_blanks
        cp      #',
        jr      nz, 3$
        inc     hl
        ret
2$:     or      a
        jr      nz, 5$
3$:     ld      a, (hl)                 ; on through the program to a DATA
        or      a
        jr      z, 4$
        cp      #TK_DATA
        jr      z, 6$
        call    skip_token
        jr      3$
4$:     inc     hl
5$:     ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jp      z, err_data
        ld      (datlin), hl
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        jr      3$
6$:     inc     hl
        ld      a, #1
        ld      (datin), a
        ret

; RESTORE [line]
st_restore::
        cp      #T_LINE
        call    nz, skip_txt
        jr      nz, data_reset
        call    line_ref
        ld      (datptr), hl
        ld      a, #2
        ld      (datin), a
        ex      de, hl
        ret
data_reset::
        push    hl
        ld      hl, #TEXT_START
        ld      (datptr), hl
        ld      a, #2
        ld      (datin), a
        pop     hl
        ret

; CLS
st_cls::
        push    hl
        call    con_cls
        pop     hl
        ret

; LOCATE row, column (PRINT AT too)
st_locate::
        call    eval_byte
        push    af
        rst     0x08
        .db     ',
        call    eval_byte
        pop     bc
        ld      c, a
        ld      a, b
        cp      #24
        jp      nc, err_illegal
        ld      a, c
        cp      #40
        jp      nc, err_illegal
        push    hl
        call    con_locate
        pop     hl
        ret

; POKE address, byte
st_poke::
        call    eval_addr
        push    de
        rst     0x08
        .db     ',
        call    eval_byte
        pop     de
        ld      (de), a
        ret

; An address: -32768..65535 into DE.
eval_addr::
        call    eval_num
        push    hl
        call    fp_to_u16
        ex      de, hl
        pop     hl
        ret

; OUT port, byte
st_out::
        call    eval_byte
        push    af
        rst     0x08
        .db     ',
        call    eval_byte
        pop     bc
        ld      c, b
        out     (c), a
        ret

; WAIT port, and [, xor]: waits until (port XOR xor) AND and is not 0. Ctrl+C ends it.
st_wait::
        call    eval_byte
        push    af
        rst     0x08
        .db     ',
        call    eval_byte
        ld      d, a
        ld      e, #0
        rst     0x20
        cp      #',
        jr      nz, 1$
        rst     0x10
        push    de
        call    eval_byte
        pop     de
        ld      e, a
1$:     pop     bc
        ld      c, b
2$:     ld      a, (brkflag)
        or      a
        ret     nz
        in      a, (c)
        xor     e
        and     d
        jr      z, 2$
        ret

; CALL address: machine code, which returns with RET.
st_call::
        call    eval_addr
        push    hl
        ex      de, hl
        call    jphl
        pop     hl
        ret

; SOUND value [, frames]: value to the sound chip; after frames (0: never) it stops.
st_sound::
        call    eval_byte
        push    af
        ld      e, #0
        rst     0x20
        cp      #',
        jr      nz, 1$
        rst     0x10
        call    eval_byte
        ld      e, a
1$:     pop     af
        out     (PORT_SOUND), a
        ld      a, e
        ld      (snd_timer), a
        ret
