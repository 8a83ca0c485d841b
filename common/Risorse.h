/* Resource numbers shared by the programs' resource scripts and their code. */
#pragma once

#define IDI_PROGRAMMA 1 /* the program's icon: 32 x 32 and 16 x 16, 16 colours */
#define IDI_EMBLEMA 2   /* the band's picture, 256 colours: 32, 40, 48 and 64 pixels */
