#include <dlfcn.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "util/Strlcpy.h"

namespace {

// libbsd exports its own strlcpy and strlcat, as libquor.so does: load it
// privately so that its symbols do not replace ours, and take its functions
// by address.
using StrlFunction = std::size_t (*)(char*, char const*, std::size_t);

class StrlAgainstLibbsd : public testing::Test {
protected:
    void SetUp() override {
        m_library = ::dlopen("libbsd.so.0", RTLD_LOCAL | RTLD_NOW);
        ASSERT_NE(m_library, nullptr) << "libbsd (package libbsd-dev) is needed: " << ::dlerror();
        m_bsdStrlcpy = reinterpret_cast<StrlFunction>(::dlsym(m_library, "strlcpy"));
        m_bsdStrlcat = reinterpret_cast<StrlFunction>(::dlsym(m_library, "strlcat"));
        ASSERT_NE(m_bsdStrlcpy, nullptr);
        ASSERT_NE(m_bsdStrlcat, nullptr);
        // The comparison is only worth something between two implementations.
        ASSERT_NE(reinterpret_cast<void*>(m_bsdStrlcpy), reinterpret_cast<void*>(&strlcpy));
        ASSERT_NE(reinterpret_cast<void*>(m_bsdStrlcat), reinterpret_cast<void*>(&strlcat));
    }
    void TearDown() override {
        if (m_library != nullptr) {
            ::dlclose(m_library);
        }
    }

    static constexpr std::size_t bufferSize = 96;
    using Buffer = std::array<char, bufferSize>;

    // Runs one case through both implementations from the same starting
    // buffer and compares the results and every byte of the buffers.
    void Compare(bool append, Buffer const& start, std::string const& source, std::size_t size) {
        Buffer ours = start;
        Buffer theirs = start;
        StrlFunction const reference = append ? m_bsdStrlcat : m_bsdStrlcpy;
        std::size_t const ourResult = append ? strlcat(ours.data(), source.c_str(), size)
                                             : strlcpy(ours.data(), source.c_str(), size);
        std::size_t const theirResult = reference(theirs.data(), source.c_str(), size);
        ASSERT_EQ(ourResult, theirResult) << (append ? "strlcat" : "strlcpy") << " size " << size
                                          << " source length " << source.size();
        ASSERT_EQ(ours, theirs) << (append ? "strlcat" : "strlcpy") << " size " << size
                                << " source length " << source.size();
        ++m_cases;
    }

    void* m_library = nullptr;
    StrlFunction m_bsdStrlcpy = nullptr;
    StrlFunction m_bsdStrlcat = nullptr;
    int m_cases = 0;
};

// Every size around every length that matters, for both functions: empty
// texts, texts that just fit, that miss by one, and destinations whose
// terminator lies at, before or beyond the size.
TEST_F(StrlAgainstLibbsd, EdgeLengthsAndSizesAgree) {
    for (std::size_t destinationLength = 0; destinationLength < 12; ++destinationLength) {
        for (std::size_t sourceLength = 0; sourceLength < 12; ++sourceLength) {
            Buffer start;
            start.fill('#');
            std::memset(start.data(), 'd', destinationLength);
            start[destinationLength] = '\0';
            start[bufferSize - 1] = '\0';
            std::string const source(sourceLength, 's');
            for (std::size_t size = 0; size < 16; ++size) {
                Compare(false, start, source, size);
                Compare(true, start, source, size);
            }
        }
    }
    EXPECT_EQ(m_cases, 12 * 12 * 16 * 2);
}

} // namespace
