// The classes a form resource may name, registered with the class registry.
#pragma once

namespace qv::classlib {

// Registers every standard component and graphic class by its class name.
// Runs at most once; the class registry calls it on the first lookup of a
// name it does not know, so no program has to remember it. A name already
// taken by another class (a program's own class) is left to that class.
void RegisterStandardClasses();

}  // namespace qv::classlib
