#pragma once

// What a screen reader needs from the windows that Qt's own accessibility
// does not give. The fields are standard widgets: each is named by its
// accessible name, labelled by the title of the group box it sits in and by
// the labels whose buddy it is, and the weeks field is a spin box. One thing
// remains: on Linux Qt names a drop-down list by its current entry, so a
// screen reader would say "Cuckle" where the list is the formula's. Here a
// drop-down list is named by its accessible name ("Formule"), its entry being
// its value.

namespace meravel {

// Once, before the first drop-down list is made.
void InstallAccessibility();

} // namespace meravel
