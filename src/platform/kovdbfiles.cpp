#include "kovdbfiles.h"
KOV_TYPED_FILE_CTORS(Tlstfile, "lst")
KOV_TYPED_FILE_CTORS(Tumstfile, "umst")
KOV_TYPED_FILE_CTORS(Tumstvffile, "umstvf")
KOV_TYPED_FILE_CTORS(Tumsvfile, "umsv")
KOV_TYPED_FILE_CTORS(Tmaskfile, "mask")
KOV_TYPED_FILE_CTORS(Tawgsfile, "awgs")
