# Sources of src/resources.
