# Sources of src/region.
