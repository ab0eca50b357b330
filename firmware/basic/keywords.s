; The keyword table: each entry is the token, then the word with bit 7 set on its last
; character. Words starting with a letter come first, in alphabetical order, so that the
; crunching of a typed line can start at the words of the right first letter; ' and the
; two-character comparisons follow. tok_init builds the indexes in RAM.
        .module keywords
        .include "basic.inc"
        .area   _CODE
kw_table::
        .db     TK_ABS, 'A, 'B, 'S|0x80
        .db     TK_AND, 'A, 'N, 'D|0x80
        .db     TK_APPEND, 'A, 'P, 'P, 'E, 'N, 'D|0x80
        .db     TK_AS, 'A, 'S|0x80
        .db     TK_ASC, 'A, 'S, 'C|0x80
        .db     TK_AT, 'A, 'T|0x80
        .db     TK_ATN, 'A, 'T, 'N|0x80
        .db     TK_AUTO, 'A, 'U, 'T, 'O|0x80
        .db     TK_CALL, 'C, 'A, 'L, 'L|0x80
        .db     TK_CHRS, 'C, 'H, 'R, '$|0x80
        .db     TK_CLEAR, 'C, 'L, 'E, 'A, 'R|0x80
        .db     TK_CLOSE, 'C, 'L, 'O, 'S, 'E|0x80
        .db     TK_CLS, 'C, 'L, 'S|0x80
        .db     TK_CONT, 'C, 'O, 'N, 'T|0x80
        .db     TK_COS, 'C, 'O, 'S|0x80
        .db     TK_DATA, 'D, 'A, 'T, 'A|0x80
        .db     TK_DEF, 'D, 'E, 'F|0x80
        .db     TK_DELETE, 'D, 'E, 'L, 'E, 'T, 'E|0x80
        .db     TK_DIM, 'D, 'I, 'M|0x80
        .db     TK_EDIT, 'E, 'D, 'I, 'T|0x80
        .db     TK_ELSE, 'E, 'L, 'S, 'E|0x80
        .db     TK_END, 'E, 'N, 'D|0x80
        .db     TK_EOF, 'E, 'O, 'F|0x80
        .db     TK_ERL, 'E, 'R, 'L|0x80
        .db     TK_ERR, 'E, 'R, 'R|0x80
        .db     TK_ERROR, 'E, 'R, 'R, 'O, 'R|0x80
        .db     TK_EXP, 'E, 'X, 'P|0x80
        .db     TK_FN, 'F, 'N|0x80
        .db     TK_FOR, 'F, 'O, 'R|0x80
        .db     TK_FRE, 'F, 'R, 'E|0x80
        .db     TK_GET, 'G, 'E, 'T|0x80
        .db     TK_GOSUB, 'G, 'O, 'S, 'U, 'B|0x80
        .db     TK_GOTO, 'G, 'O, 'T, 'O|0x80
        .db     TK_HEXS, 'H, 'E, 'X, '$|0x80
        .db     TK_IF, 'I, 'F|0x80
        .db     TK_INKEYS, 'I, 'N, 'K, 'E, 'Y, '$|0x80
        .db     TK_INP, 'I, 'N, 'P|0x80
        .db     TK_INPUT, 'I, 'N, 'P, 'U, 'T|0x80
        .db     TK_INSTR, 'I, 'N, 'S, 'T, 'R|0x80
        .db     TK_INT, 'I, 'N, 'T|0x80
        .db     TK_LEFTS, 'L, 'E, 'F, 'T, '$|0x80
        .db     TK_LEN, 'L, 'E, 'N|0x80
        .db     TK_LET, 'L, 'E, 'T|0x80
        .db     TK_LINE, 'L, 'I, 'N, 'E|0x80
        .db     TK_LIST, 'L, 'I, 'S, 'T|0x80
        .db     TK_LLIST, 'L, 'L, 'I, 'S, 'T|0x80
        .db     TK_LOAD, 'L, 'O, 'A, 'D|0x80
        .db     TK_LOCATE, 'L, 'O, 'C, 'A, 'T, 'E|0x80
        .db     TK_LOG, 'L, 'O, 'G|0x80
        .db     TK_LPRINT, 'L, 'P, 'R, 'I, 'N, 'T|0x80
        .db     TK_MERGE, 'M, 'E, 'R, 'G, 'E|0x80
        .db     TK_MIDS, 'M, 'I, 'D, '$|0x80
        .db     TK_MOD, 'M, 'O, 'D|0x80
        .db     TK_NEW, 'N, 'E, 'W|0x80
        .db     TK_NEXT, 'N, 'E, 'X, 'T|0x80
        .db     TK_NOT, 'N, 'O, 'T|0x80
        .db     TK_ON, 'O, 'N|0x80
        .db     TK_OPEN, 'O, 'P, 'E, 'N|0x80
        .db     TK_OR, 'O, 'R|0x80
        .db     TK_OUT, 'O, 'U, 'T|0x80
        .db     TK_OUTPUT, 'O, 'U, 'T, 'P, 'U, 'T|0x80
        .db     TK_PEEK, 'P, 'E, 'E, 'K|0x80
        .db     TK_PLOT, 'P, 'L, 'O, 'T|0x80
        .db     TK_POINT, 'P, 'O, 'I, 'N, 'T|0x80
        .db     TK_POKE, 'P, 'O, 'K, 'E|0x80
        .db     TK_POS, 'P, 'O, 'S|0x80
        .db     TK_PRINT, 'P, 'R, 'I, 'N, 'T|0x80
        .db     TK_RANDOMIZE, 'R, 'A, 'N, 'D, 'O, 'M, 'I, 'Z, 'E|0x80
        .db     TK_READ, 'R, 'E, 'A, 'D|0x80
        .db     TK_REM, 'R, 'E, 'M|0x80
        .db     TK_RENUM, 'R, 'E, 'N, 'U, 'M|0x80
        .db     TK_RESTORE, 'R, 'E, 'S, 'T, 'O, 'R, 'E|0x80
        .db     TK_RESUME, 'R, 'E, 'S, 'U, 'M, 'E|0x80
        .db     TK_RETURN, 'R, 'E, 'T, 'U, 'R, 'N|0x80
        .db     TK_RIGHTS, 'R, 'I, 'G, 'H, 'T, '$|0x80
        .db     TK_RND, 'R, 'N, 'D|0x80
        .db     TK_RUN, 'R, 'U, 'N|0x80
        .db     TK_SAVE, 'S, 'A, 'V, 'E|0x80
        .db     TK_SGN, 'S, 'G, 'N|0x80
        .db     TK_SIN, 'S, 'I, 'N|0x80
        .db     TK_SOUND, 'S, 'O, 'U, 'N, 'D|0x80
        .db     TK_SPC, 'S, 'P, 'C|0x80
        .db     TK_SQR, 'S, 'Q, 'R|0x80
        .db     TK_STEP, 'S, 'T, 'E, 'P|0x80
        .db     TK_STOP, 'S, 'T, 'O, 'P|0x80
        .db     TK_STRS, 'S, 'T, 'R, '$|0x80
        .db     TK_STRINGS, 'S, 'T, 'R, 'I, 'N, 'G, '$|0x80
        .db     TK_SWAP, 'S, 'W, 'A, 'P|0x80
        .db     TK_TAB, 'T, 'A, 'B|0x80
        .db     TK_TAN, 'T, 'A, 'N|0x80
        .db     TK_THEN, 'T, 'H, 'E, 'N|0x80
        .db     TK_TIME, 'T, 'I, 'M, 'E|0x80
        .db     TK_TO, 'T, 'O|0x80
        .db     TK_TROFF, 'T, 'R, 'O, 'F, 'F|0x80
        .db     TK_TRON, 'T, 'R, 'O, 'N|0x80
        .db     TK_UNPLOT, 'U, 'N, 'P, 'L, 'O, 'T|0x80
        .db     TK_USR, 'U, 'S, 'R|0x80
        .db     TK_VAL, 'V, 'A, 'L|0x80
        .db     TK_WAIT, 'W, 'A, 'I, 'T|0x80
        .db     TK_WEND, 'W, 'E, 'N, 'D|0x80
        .db     TK_WHILE, 'W, 'H, 'I, 'L, 'E|0x80
        .db     TK_XOR, 'X, 'O, 'R|0x80
        .db     TK_REMQ, 0x27|0x80
        .db     TK_LE, '<, '=|0x80
        .db     TK_GE, '>, '=|0x80
        .db     TK_NE, '<, '>|0x80
        .db     0               ; the end
