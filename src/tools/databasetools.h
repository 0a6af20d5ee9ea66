#pragma once

namespace veil {

class MDIForm1;

// Backs "\Veilcase.mdb" up into "\backup\db_back" (asking before an older
// backup is replaced) and says so. The backup is one consistent state of the
// database even while windows hold connections. True when it was written.
bool backUpDatabase(MDIForm1& frame);

// Replaces "\Veilcase.mdb" with the backup or the clean copy. The new content
// is checked first and a file that is not a whole case database is refused;
// then the user confirms the replacement, every window that holds a
// connection is closed (asking first where one has unsaved input), the file
// is swapped in by a rename, and a new dashboard and the Database Tools are
// shown. True when the file was replaced.
enum class Replacement { FromBackup, Clean };
bool replaceDatabase(MDIForm1& frame, Replacement from);

} // namespace veil
