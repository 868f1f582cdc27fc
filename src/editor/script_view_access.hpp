// The script view as assistive technology sees it: a read-only text whose
// placeholders are children of role Link, named by what they show and which
// parameter they are ("3 (n)"), whose press opens their box as a click does.
#pragma once

namespace quorvel {

// Makes every script view answer with the interface above; the first call installs
// it for the program, later calls do nothing.
void InstallScriptViewAccessibility();

} // namespace quorvel
