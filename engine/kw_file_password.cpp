// The password fields of a data file on disk.
#include <algorithm>

#include "engine/kw_file.h"
#include "engine/kw_file_io.h"
#include "engine/kw_password.h"

std::int32_t KWpwdSet(const std::string& path, std::string_view password) {
    if (std::int32_t rc = kw::checkPasswordText(password); rc < 0) return rc;
    kw::FileDescriptor fd;
    std::int64_t fileSize = 0;
    if (std::int32_t rc = kw::openForReading(path, fd, fileSize); rc < 0) return rc;
    KW_head head;
    if (std::int32_t rc = kw::readHead(fd.get(), fileSize, head); rc < 0) return rc;

    const KW_passwordField field = ScramblePassword(password);
    std::copy(field.begin(), field.end(), head.password);
    head.passwordLength = static_cast<std::int32_t>(password.size());

    zbq::AtomicFile out(path);
    if (!out.open() || !out.write(&head, sizeof head)) return kw::ioFailure(out.error());
    if (std::int32_t rc =
            kw::copyRange(fd.get(), kw::kHeadSize, fileSize - kw::kHeadSize, out.fd());
        rc < 0)
        return rc;
    return out.commit() ? 0 : kw::ioFailure(out.error());
}

std::int32_t KWpwdchk(const std::string& path) {
    kw::FileDescriptor fd;
    std::int64_t fileSize = 0;
    if (std::int32_t rc = kw::openForReading(path, fd, fileSize); rc < 0) return rc;
    KW_head head;
    if (std::int32_t rc = kw::readHead(fd.get(), fileSize, head); rc < 0) return rc;
    return head.password[0] != 0 ? 1 : 0;
}
