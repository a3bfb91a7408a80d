#pragma once

#include <string>

namespace h33 {

// The Time method's report of a program's execution time in seconds and
// minutes, with hours and minutes added from one hour on.
std::string TimeMessage(float seconds);

}  // namespace h33
