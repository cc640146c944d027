#pragma once

namespace bridge {
class Host;
}

namespace apps {

// Writes the package manager's list of the user's apps to AppsList_ThirdParty.txt and lists the apps under
// their readable names, sorted.
bool GenerateAppsListFile(bridge::Host& host);

} // namespace apps
