# CTest fixture "mariadb": a private MariaDB server in the build tree for the tests that carry
# FIXTURES mariadb. Its connection data goes to <build>/mariadb/server.txt (see test_server.h).
set(ZERED_MARIADB_FOLDER ${PROJECT_BINARY_DIR}/mariadb)
add_test(NAME mariadb_start
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/mariadb_server.sh start ${ZERED_MARIADB_FOLDER})
set_tests_properties(mariadb_start PROPERTIES FIXTURES_SETUP mariadb LABELS "db" TIMEOUT 120)
add_test(NAME mariadb_stop
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/mariadb_server.sh stop ${ZERED_MARIADB_FOLDER})
set_tests_properties(mariadb_stop PROPERTIES FIXTURES_CLEANUP mariadb LABELS "db" TIMEOUT 60)
