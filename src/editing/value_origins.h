#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings_store.h"

namespace tavrel {

// Which layer of KeeperFX's files set each value of the last KeeperFX read, and the
// game that read was made as. Known only while the tables hold that read: anything
// else that fills them (the game file, a settings file, the factory values) forgets it.
class ValueOrigins {
public:
    // `layers` per record, element 0 for record 1, as the reader names them ("KeeperFX
    // default", "mod NAME", ...; empty where no file set the value); `read` the values
    // read; `readAs` the campaign or map pack read as, empty for free play.
    void set(std::vector<std::string> layers, const ValueSet& read, std::string readAs);
    void clear();

    bool known() const { return !layers_.empty(); }
    // The campaign or map pack the tables were read as; empty for free play, and for
    // tables that did not come from KeeperFX.
    const std::string& readAs() const { return readAs_; }

    struct Origin {
        enum class Kind {
            Unknown, // the tables did not come from a KeeperFX read
            Read,    // the value as `layer` set it
            Edited,  // changed since the read, which gave `readValue`
        } kind = Kind::Unknown;
        std::string layer; // empty: no KeeperFX file set it, it kept the factory value
        std::int32_t readValue = 0;
    };
    // Where the value `now` of `record` comes from.
    Origin of(int record, std::int32_t now) const;

private:
    std::vector<std::string> layers_;
    ValueSet read_{};
    std::string readAs_;
};

} // namespace tavrel
