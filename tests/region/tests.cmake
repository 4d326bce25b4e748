# Tests of src/region.
