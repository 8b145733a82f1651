#include "isp/back_end_factory.h"

#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "isp/qv_ic_7t0.h"
#include "isp/qv_ic_base.h"

CCommonInterface* CBackEnd::Interface() const {
  if (com != nullptr) return com;
  return ic;
}

CBackEnd CreateBackEnd(const CBackEndChoice& choice) {
  CBackEnd made;
  if (choice.serial) {
    if (choice.k55) {
      made.com = new CCOMBaseK55();
    } else if (choice.w24a) {
      made.com = new CCOMBaseW24A();
    } else {
      made.com = new CCOMBase();
    }
  } else if (choice.qv7t0) {
    made.ic = new CQvIc7T0(choice.slaveAddress);
  } else if (choice.plainChipTakesAddress) {
    made.ic = new CQvIcBase(choice.slaveAddress);
  } else {
    made.ic = new CQvIcBase();
  }
  return made;
}
