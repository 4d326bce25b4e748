# Tests of src/editor.
