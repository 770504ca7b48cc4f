// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <csignal>
#include <sys/resource.h>

// A full disk, as far as this process can tell: while it lives, no file can grow past
// maxBytes, and a write beyond that fails with an error instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t maxBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = maxBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_before {};
    void (*m_signal)(int) = nullptr;
};
