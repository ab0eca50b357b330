/* The BASIC ROM's C entry, called by the start-up code once the interrupts run. The
   interpreter gets all RAM from 0x8000 up to the device slot buffers at 0xF500. */
#include "basic.h"

void main(void)
{
    basic_init((unsigned char *)0x8000, 0xF500 - 0x8000);
    basic_main();
}
