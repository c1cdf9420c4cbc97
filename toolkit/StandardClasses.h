// See StandardClasses.cpp: referencing this keeps the toolkit's registered
// classes linked into the program.
#pragma once

namespace tk {

int LinkStandardClasses();

}  // namespace tk
