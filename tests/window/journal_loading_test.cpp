// The form starts without the journal's libraries: libpq (with libssl,
// libcrypto, Kerberos and LDAP behind it) and SQLite come with the journal's
// module when a journal is opened, as the station's Start does.
#include <QTemporaryDir>
#include <fstream>

#include "fleet/journal/journal.h"
#include "rig.h"

namespace vorlen::testing {
namespace {

// Whether a file whose name holds `name` is mapped into this process.
bool Mapped(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(JournalLibraries, TheFormStartsWithoutThemAndAJournalBringsThem) {
    if (Mapped("vorlen-journal.so")) {
        GTEST_SKIP() << "an earlier test in this process opened a journal";
    }
    Rig rig;
    rig.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&rig.form));
    const char* const journalLibraries[] = {"libpq.so", "libsqlite3.so", "libcrypto.so",
                                            "libssl.so", "vorlen-journal.so"};
    for (const char* library : journalLibraries) {
        EXPECT_FALSE(Mapped(library)) << library << " is loaded with the form";
    }

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    std::string failure;
    const auto journal =
        fleet::OpenJournal(folder.filePath("journal.sqlite").toStdString(), failure);
    ASSERT_TRUE(journal) << failure;
    for (const char* library : journalLibraries) {
        EXPECT_TRUE(Mapped(library)) << library << " did not come with the journal";
    }
}

}  // namespace
}  // namespace vorlen::testing
