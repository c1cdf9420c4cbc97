// StandardClasses: keeps every toolkit unit that registers classes in any
// program that reads descriptions. Those classes are often created only by
// name, and a static library member that nothing references is dropped by
// the linker together with its registrations.
#include "toolkit/StandardClasses.h"

namespace tk {

extern const int kLinkUnitActnList;
extern const int kLinkUnitComCtrls;
extern const int kLinkUnitControl;
extern const int kLinkUnitDialogs;
extern const int kLinkUnitExtCtrls;
extern const int kLinkUnitForms;
extern const int kLinkUnitGrids;
extern const int kLinkUnitImgList;
extern const int kLinkUnitMenus;
extern const int kLinkUnitMessageDialogs;
extern const int kLinkUnitStdCtrls;
extern const int kLinkUnitTimer;

int LinkStandardClasses()
{
    return kLinkUnitActnList +
           kLinkUnitComCtrls +
           kLinkUnitControl +
           kLinkUnitDialogs +
           kLinkUnitExtCtrls +
           kLinkUnitForms +
           kLinkUnitGrids +
           kLinkUnitImgList +
           kLinkUnitMenus +
           kLinkUnitMessageDialogs +
           kLinkUnitStdCtrls +
           kLinkUnitTimer;
}

}  // namespace tk
