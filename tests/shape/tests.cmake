# Tests of src/shape.
