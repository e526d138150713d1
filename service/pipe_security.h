#pragma once
// Security attributes whose access list admits the current user and nobody
// else, for the session pipe.
#include <windows.h>

#include <vector>

namespace nuv::service {

class OwnerOnlySecurity {
public:
    OwnerOnlySecurity();
    bool Valid() const { return valid_; }
    SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

private:
    std::vector<BYTE> tokenUser_;
    std::vector<BYTE> acl_;
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
    bool valid_ = false;
};

} // namespace nuv::service
