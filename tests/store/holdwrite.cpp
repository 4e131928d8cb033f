// Another workstation in the middle of a save, for the backup tests here and
// the supervisor's tool's:
//   store_holdwrite <database> <spill> <holdMs>
// opens a write transaction, changes day 1 of RVOUS1 and of RVOUS6 to
// "nouveau" and, when <spill> is 1, adds enough rows to RVOUS2 to spill its
// page cache into the file (which takes the exclusive lock at once). Prints
// "held" then, keeps the transaction open <holdMs> ms, commits and prints
// "committed".
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char *argv[])
{
    sqlite3 *db = nullptr;
    if (argc != 4 || sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 2;
    sqlite3_busy_timeout(db, 30000); // the commit waits for a backup's read to end
    const bool spill = std::atoi(argv[2]) == 1;
    const std::string sql =
        std::string(spill ? "PRAGMA cache_size=10;" : "")
        + "BEGIN IMMEDIATE; UPDATE RVOUS1 SET RVOUS='nouveau' WHERE AGENDATE=1;"
          " UPDATE RVOUS6 SET RVOUS='nouveau' WHERE AGENDATE=1;"
        + (spill ? "WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 2999)"
                   " INSERT INTO RVOUS2 (AGENDATE, RVOUS) SELECT i, printf('%.500c', 'x') FROM n;"
                 : "");
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return 1;
    std::printf("held\n");
    std::fflush(stdout);
    sqlite3_sleep(std::atoi(argv[3]));
    const bool committed = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    std::printf(committed ? "committed\n" : "failed\n");
    sqlite3_close(db); // closed, or the leak checker of the sanitizer build fails the run
    return committed ? 0 : 1;
}
