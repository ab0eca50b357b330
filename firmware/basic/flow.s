; The statement loop and the statements that steer it: the prompt, running lines, GOTO,
; GOSUB, RETURN, IF, ON, END, STOP, CONT, RUN, NEW, CLEAR, REM (FOR, NEXT, WHILE and WEND
; are in loops.s). FOR, GOSUB and WHILE keep frames on the Z80 stack, each topped by a tag:
;   FOR    16 bytes: tag, variable, step (4), limit (4), text after the FOR, line
;   GOSUB   6 bytes: tag, text after the GOSUB, line
;   WHILE   6 bytes: tag, the WHILE statement, line
        .module flow
        .include "basic.inc"

        .area   _DATA
curlin::        .ds     2               ; the line running (its link), 0 in direct mode
stmt_sp::       .ds     2               ; the stack at the start of the statement
stmt_txt::      .ds     2               ; where the statement starts
base_sp::       .ds     2               ; the stack the prompt runs on (frames kept for CONT)
cont_txt::      .ds     2               ; where CONT goes on; 0: it cannot
cont_lin:       .ds     2
trace::         .ds     1

        .area   _RCODE0

msg_ready:
        .ascii  "Ready"
        .db     13, 0

; Output back on the screen, the tone off, and the cursor at the start of a row: before
; "Ready", a break or an error is shown.
quiet_screen::
        call    io_reset
        call    sound_off
        call    con_col
        or      a
        ret     z
        ld      a, #13
        jp      con_putc

; After an end, an error or a break without CONT: the prompt, with nothing kept.
ready::
        ld      sp, #STACK_TOP
        ld      hl, #STACK_TOP
        ld      (base_sp), hl
        ld      hl, #0
        ld      (cont_txt), hl
; The prompt on the kept frames.
ready_keep:
        ld      sp, (base_sp)
        call    pr_end                  ; the command's print job ends
        call    quiet_screen
        ld      hl, #msg_ready
        call    prt_str
main_loop::
        ld      sp, (base_sp)
        ld      hl, #0
        ld      (curlin), hl
        call    str_reset
        call    auto_prompt             ; AUTO's next number, if on
        call    con_getline
        call    auto_input              ; Ctrl+C, or the line AUTO numbered
        jr      c, main_loop
        call    skip_blanks
        or      a
        jr      z, main_loop
        sub     #'0
        cp      #10
        jr      c, 4$
        call    auto_off
        call    crunch                  ; a direct statement
        ld      hl, #kbuf
        add     hl, bc
        xor     a
        ld      (hl), a                 ; an end link after it: the "program" ends there
        inc     hl
        ld      (hl), a
        ld      hl, #kbuf - 1
        jp      exec_stmt
4$:     call    get_uint                ; a line for the program
ml_line::                               ; the text at HL for line DE
        call    skip_blanks
        push    de
        call    crunch
        pop     de
        push    de
        call    prg_enter
        pop     de
        call    auto_next
        ld      hl, #STACK_TOP          ; editing ends what CONT would go back to
        ld      (base_sp), hl
        ld      hl, #0
        ld      (cont_txt), hl
        jr      main_loop

; Between statements: HL at the end of one. Ctrl+C, the next statement or the next line.
newstt::
        ld      a, (brkflag)
        or      a
        jp      nz, do_break
        rst     0x20
        jr      nz, stmt_else
        cp      #':
        jr      z, exec_stmt            ; a colon
        or      a
        call    nz, skip_eol            ; ' and a remark to the end of the line
        inc     hl                      ; the end of the line: the next
        ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jr      z, prog_end
run_line::
        ld      (curlin), hl
        inc     hl
        inc     hl
        inc     hl
        ld      a, (trace)
        or      a
        call    nz, trace_line
exec_stmt::
        ld      (stmt_sp), sp
        ld      de, #tmpst
        ld      (tmpptr), de
        rst     0x10
        jr      z, newstt
        ld      (stmt_txt), hl
        ld      de, #newstt
        push    de
        sub     #0x80
        jp      c, let_implicit
        cp      #TK_LASTSTMT - 0x80 + 1
        jp      nc, err_syntax
        add     a, a
        ld      e, a
        ld      d, #0
        push    hl
        ld      hl, #stmt_table
        add     hl, de
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        pop     hl
        push    de
        rst     0x10
        ret
stmt_else:
        cp      #TK_ELSE                ; ELSE after the THEN part: the rest is skipped
        jp      nz, err_syntax
        call    skip_eol
        jr      newstt

; The program has run off its end (or a direct line has finished).
prog_end:
        ld      hl, (curlin)
        ld      a, h
        or      l
        jp      z, ready_keep           ; a direct line: frames stay for CONT
        call    files_close
        jp      ready

; The statements, in token order.
stmt_table:
        .dw     st_end, st_for, st_next, st_data, st_input, st_dim, st_read, st_let
        .dw     st_goto, st_run, st_if, st_restore, st_gosub, st_return, st_rem, st_stop
        .dw     st_on, st_print, st_clear, st_list, st_new, st_poke, st_out, st_wait
        .dw     st_cont, st_cls, st_def, st_sound, st_randomize, st_swap, st_while, st_wend
        .dw     st_call, st_get, st_line, st_locate, st_plot, st_unplot, st_tron, st_troff
        .dw     st_error, st_resume, st_save, st_load, st_merge, st_open, st_close, st_llist
        .dw     st_lprint, st_renum, st_auto, st_delete, st_edit, st_rem, st_time, st_rem

; REM, ELSE and ': the rest of the line is skipped.
st_rem::
skip_eol::
        ld      a, (hl)
        or      a
        ret     z
        call    skip_token
        jr      skip_eol

; DATA: skipped up to the end of the statement.
st_data::
        ld      c, #0
1$:     ld      a, (hl)
        or      a
        ret     z
        cp      #'"
        jr      nz, 2$
        inc     c
2$:     cp      #':
        jr      nz, 3$
        bit     0, c
        ret     z
3$:     inc     hl
        jr      1$

; GOTO line
st_goto::
        cp      #T_LINE
        call    nz, skip_txt
        jp      nz, err_syntax
        call    line_ref
        pop     de
; Goes on at the line at HL. Coming from direct mode after the variables were cleared, the
; program's slots are forgotten first.
goto_line::
        ld      a, (slots_dirty)
        or      a
        jp      z, run_line
        push    hl
        call    unresolve
        pop     hl
        jp      run_line

; After a word that takes a line number, with A (the byte at HL) not T_LINE: the text of a
; number typed with leading zeros (T_TXT) is stepped over. Z when HL is at a T_LINE then.
skip_txt::
        cp      #T_TXT
        ret     nz
        inc     hl
        ld      a, (hl)
        inc     a
        call    scr_addhl
        ld      a, (hl)
        cp      #T_LINE
        ret

; The line of the T_LINE token at HL: HL = the line, DE = after the token. The line's
; address is kept in the token, so a jump searches only once.
line_ref::
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        ld      a, b
        or      c
        jr      z, 1$
        ex      de, hl
        ld      h, b
        ld      l, c
        ret
1$:     push    hl
        call    prg_find
        jp      nz, err_undefline
        pop     de
        dec     de
        ld      a, h
        ld      (de), a
        dec     de
        ld      a, l
        ld      (de), a
        inc     de
        inc     de
        ret

; GOSUB line
st_gosub::
        cp      #T_LINE
        call    nz, skip_txt
        jp      nz, err_syntax
        call    line_ref
; The frame for a GOSUB to the line HL returning to the text DE, under the return address.
gosub_frame:
        pop     bc
        call    frame_room
        ld      bc, (curlin)
        push    bc
        push    de
        ld      a, #TAG_GOSUB
        push    af
        jr      goto_line

; Room for a 16-byte frame. Keeps everything but A and flags.
frame_room::
        push    hl
        ld      hl, #-FRAME_LIMIT
        add     hl, sp
        pop     hl
        ret     c
        jp      err_memory

; RETURN: back after the GOSUB, leaving the loops begun since.
st_return::
        pop     de
        ld      hl, #0
        add     hl, sp
1$:     call    frame_next              ; A = the tag at HL, C = the frame's size
        jp      z, err_return
        cp      #TAG_GOSUB
        jp      z, frame_back
        ld      b, #0
        add     hl, bc
        jr      1$

; The frame at HL: A = its tag, C = its size; Z at the bottom of the stack.
frame_next::
        push    de
        ld      de, #STACK_TOP
        rst     0x28
        pop     de
        jr      nc, 1$
        inc     hl
        ld      a, (hl)
        dec     hl
        ld      c, #16
        cp      #TAG_GOSUB
        jr      c, 2$
        ld      c, #6
2$:     or      a                       ; NZ: tags are not 0
        ret
1$:     xor     a
        ret

; IF condition THEN statements|line [ELSE statements|line], IF condition GOTO line
st_if::
        call    eval
        call    is_true
        jr      z, 2$
        rst     0x20
        cp      #TK_GOTO
        jr      z, 1$
        rst     0x08
        .db     TK_THEN
        cp      #T_LINE
        call    nz, skip_txt
        jp      z, st_goto
        dec     hl                      ; the statements after THEN
        pop     de
        jp      exec_stmt
1$:     rst     0x10
        jp      st_goto
2$:     rst     0x20                    ; false: THEN or GOTO must still be there
        cp      #TK_THEN
        jr      z, 21$
        cp      #TK_GOTO
        jp      nz, err_syntax
21$:    ld      c, #0                   ; on at this IF's ELSE, or at the end of the line
3$:     ld      a, (hl)
        or      a
        ret     z
        cp      #TK_IF
        jr      nz, 5$
        inc     c
5$:     cp      #TK_ELSE
        jr      nz, 6$
        ld      a, c
        or      a
        jr      z, 7$
        dec     c
6$:     call    skip_token
        jr      3$
7$:     rst     0x10
        cp      #T_LINE
        call    nz, skip_txt
        jp      z, st_goto
        dec     hl
        pop     de
        jp      exec_stmt

; Z when the value (a number) is false; a string is a type mismatch. Keeps HL.
is_true::
        ld      a, (valtyp)
        cp      #VT_STR
        jp      z, err_type
        cp      #VT_INT
        jr      z, 1$
        ld      a, (fac + 3)
        or      a
        ret
1$:     ld      a, (fac)
        push    hl
        ld      hl, #fac + 1
        or      (hl)
        pop     hl
        ret

; ON n GOTO|GOSUB line, line, ...   ON ERROR GOTO line
st_on::
        cp      #TK_ERROR
        jp      z, on_error
        call    eval_byte
        ld      c, a
        rst     0x20
        ld      b, a                    ; GOTO or GOSUB
        cp      #TK_GOTO
        jr      z, 1$
        cp      #TK_GOSUB
        jp      nz, err_syntax
1$:     rst     0x10
2$:     cp      #T_LINE
        call    nz, skip_txt
        jp      nz, err_syntax
        dec     c
        jr      z, 4$
        inc     hl                      ; not this one
        inc     hl
        inc     hl
        inc     hl
        rst     0x10
        cp      #',
        ret     nz                      ; past the list: on with the next statement
        rst     0x10
        jr      2$
4$:     ld      a, b
        cp      #TK_GOTO
        ld      a, (hl)
        jp      z, st_goto
        push    hl                      ; GOSUB: it returns past the list
5$:     rst     0x20
        jr      z, 6$
        cp      #TK_ELSE
        jr      z, 6$
        call    skip_token
        jr      5$
6$:     ex      de, hl
        pop     hl
        push    de
        call    line_ref
        pop     de
        jp      gosub_frame

; END
st_end::
        call    files_close
        jp      ready

; STOP: "Break in n"; CONT goes on.
st_stop::
        pop     de
        xor     a
        jr      stop_here

; Ctrl+C between statements.
do_break:
        xor     a
        ld      (brkflag), a
        call    con_flush
        xor     a
; "Break in n" with HL at the end of the statement; A = 1: CONT runs it again (a broken
; INPUT or GET, HL one byte before it), 0: CONT goes on after it.
stop_here::
        ld      (cont_exec), a
        ld      (cont_txt), hl
        ld      de, (curlin)
        ld      (cont_lin), de
        ld      a, d
        or      e
        jr      nz, 1$
        ld      (cont_txt), de          ; direct mode: nothing to go on with
1$:     ld      (base_sp), sp           ; the frames stay for CONT
        call    quiet_screen
        ld      hl, #msg_break
        call    prt_str
        call    prt_in_line
        jp      ready_keep

msg_break:
        .ascii  "Break"
        .db     0

; CONT
st_cont::
        ld      hl, (cont_txt)
        ld      a, h
        or      l
        jp      z, err_cont
        ld      sp, (base_sp)
        ld      de, (cont_lin)
        ld      (curlin), de
        ld      a, (cont_exec)
        or      a
        jp      z, newstt
        xor     a
        ld      (cont_exec), a
        jp      exec_stmt

; RUN [line]
st_run::
        push    af
        push    hl
        call    files_close
        call    prg_clear
        call    unresolve
        call    data_reset
        pop     hl
        pop     af
        ld      sp, #STACK_TOP
        ld      de, #STACK_TOP
        ld      (base_sp), de
        cp      #T_LINE
        call    nz, skip_txt
        jr      nz, 1$
        call    line_ref
        jp      run_line
1$:     cp      #'"                     ; RUN "name": load, then run
        jp      z, run_file
        ld      hl, #TEXT_START
        ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jp      z, ready
        jp      run_line

; NEW
st_new::
        call    files_close
        call    prg_new
        call    auto_off
        jp      ready

; CLEAR: variables, arrays, strings and the loops and subroutines go. Arguments (the
; string space of other BASICs) are read and ignored.
st_clear::
        jr      z, 2$
1$:     call    eval
        rst     0x20
        cp      #',
        jr      nz, 2$
        rst     0x10
        jr      1$
2$:     push    hl
        call    prg_clear
        call    unresolve
        call    data_reset
        pop     hl
        pop     de
        ld      sp, #STACK_TOP
        ld      de, #STACK_TOP
        ld      (base_sp), de
        jp      newstt

; TRON, TROFF: the number of each line is shown as it runs.
st_tron::
        ld      a, #1
        jr      set_trace
st_troff::
        xor     a
set_trace:
        ld      (trace), a
        ret

trace_line:
        push    hl
        ld      a, #'<                  ; the machine has no brackets: [ and ] are letters
        call    prt_chr
        ld      hl, (curlin)
        inc     hl
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        call    prt_uint
        ld      a, #'>
        call    prt_chr
        pop     hl
        ret

; " in n" after a message when a program line was running, then a new line.
prt_in_line::
        ld      hl, (curlin)
        ld      a, h
        or      l
        jr      z, 1$
        push    hl
        ld      hl, #msg_in
        call    prt_str
        pop     hl
        inc     hl
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        call    prt_uint
1$:     ld      a, #13
        jp      prt_chr

msg_in::
        .ascii  " in "
        .db     0
