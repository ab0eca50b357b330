#include "sys.h"

static void puts_(const char *s) { while (*s) sys_putc((unsigned char)*s++); }

void main(void)
{
    sys_cls();
    puts_("Vorlix BASIC 1.0\r");
    puts_("Ready\r");
}
