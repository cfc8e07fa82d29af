// Uniform one-line descriptions of damage found in a file.
#pragma once

#include <cstdint>
#include <string>

#include "jet/status.h"

namespace jet {

// "Poškodená databáza: <what> (strana N)."
inline Status corruptAt(std::uint32_t page, const std::string& what) {
    return Status::error(Status::Code::Corrupt,
                         "Poškodená databáza: " + what + " (strana " + std::to_string(page) + ").");
}

} // namespace jet
