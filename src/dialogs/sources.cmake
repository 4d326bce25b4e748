# Sources of src/dialogs.
