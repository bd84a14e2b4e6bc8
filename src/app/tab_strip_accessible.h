#pragma once
// The tab strip as screen readers see it: a page tab list whose children are
// the page tabs, one per label, the current one selected; a tab's Press
// action chooses it as a click on its label does.

namespace velmora::app {

// Installs the factory that gives the tab strip its accessible interface;
// later calls do nothing.
void InstallTabStripAccessibility();

}  // namespace velmora::app
