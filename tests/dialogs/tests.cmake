# Tests of src/dialogs.
