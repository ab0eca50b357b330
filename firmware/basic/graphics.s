; Block graphics on the 80 by 72 mosaic grid: PLOT, UNPLOT, POINT.
        .module graphics
        .include "basic.inc"

        .area   _CODE

st_plot:: st_unplot:: fn_point::
        jp      err_syntax
