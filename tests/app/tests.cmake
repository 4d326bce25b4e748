# Tests of src/app.
