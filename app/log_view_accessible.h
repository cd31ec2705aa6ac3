// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace app {

// Lets screen readers read the log view: the view is a list whose children are the rows in
// sight, each with its line as its name and its selection and focus as its state. Installs
// itself once; later calls do nothing.
void installLogViewAccessibility();

} // namespace app
