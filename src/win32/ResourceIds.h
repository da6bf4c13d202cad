/* Resource identifiers shared by the resource script and the code; plain
   #defines because the resource compiler reads this file too. */
#pragma once

/* The program's icon (32x32, 16x16 and 48x48 images). The lowest icon ID,
   so Explorer shows it for the executable. */
#define HB_IDI_APP 1
