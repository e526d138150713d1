#include "pipe_security.h"

#include "unique_handle.h"

namespace nuv::service {

OwnerOnlySecurity::OwnerOnlySecurity() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return;
    session::UniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return;
    tokenUser_.resize(size);
    if (!GetTokenInformation(token.Get(), TokenUser, tokenUser_.data(), size, &size)) return;
    PSID user = reinterpret_cast<TOKEN_USER*>(tokenUser_.data())->User.Sid;

    acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
    auto* acl = reinterpret_cast<ACL*>(acl_.data());
    valid_ = InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) &&
             AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) &&
             InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
             SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = &descriptor_;
    attributes_.bInheritHandle = FALSE;
}

} // namespace nuv::service
