# Sources of src/editor.
