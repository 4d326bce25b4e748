# Tests of src/dialogs.
deskword_add_test(dialogs_test dialogs/DialogsTest.cpp)
