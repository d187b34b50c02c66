-- cognexa lsp driven by Neovim's own client: headless, no user configuration, the server
-- attached to each buffer explicitly. Exits non-zero on anything unexpected.
-- Environment: COGNEXA_LSP_TOOL (the program), COGNEXA_LSP_EMULATOR (a program to run it
-- through with its arguments, joined by "|", or empty), COGNEXA_LSP_SCRATCH (a folder of
-- the test's own).
-- A Lua error anywhere ends the run with a failure instead of leaving Neovim waiting.
local failures = 0

local function main()
  local tool = assert(os.getenv('COGNEXA_LSP_TOOL'), 'COGNEXA_LSP_TOOL')
  local emulator = os.getenv('COGNEXA_LSP_EMULATOR') or ''
  local scratch = assert(os.getenv('COGNEXA_LSP_SCRATCH'), 'COGNEXA_LSP_SCRATCH')
  -- Wine starts slowly; nothing waits this long unless it is broken.
  local TIMEOUT = 30000

  local function fail(text)
    io.stderr:write('FAIL: ' .. text .. '\n')
    failures = failures + 1
  end
  local function check(condition, text)
    if not condition then fail(text) end
    return condition
  end

  local function write(path, lines)
    vim.fn.writefile(lines, path, 'b')
  end

  -- The workspace: a game root with two equation files, a token list and a database.
  local root = scratch .. '/game'
  local folder = root .. '/Data/XML/AI/PerceptualEquations'
  vim.fn.delete(root, 'rf')
  vim.fn.mkdir(folder, 'p')
  local main_lines = {
    '<?xml version="1.0"?>',
    '<Equations>',
    '  <Threat_Level>Enemy.Count * Enemy.Strength - Unit.Health</Threat_Level>',
    '  <!-- Größe ✓ 𝄞 --><Broken>Unit.Speed + ;</Broken>',
    '  <Typo>Unit.Sped</Typo>',
    '  <Probe>Unit.Speed + UnitTypes[Tank]</Probe>',
    '</Equations>',
  }
  write(folder .. '/Main.xml', main_lines)
  write(folder .. '/SECOND.XML', {
    '<?xml version="1.0"?>',
    '<Equations>',
    '  <THREAT_LEVEL>1</THREAT_LEVEL>',
    '</Equations>',
  })
  write(scratch .. '/tokens.txt', {
    'Unit', 'Enemy', 'Count', 'Strength', 'Health',
    'Speed  # how fast the unit moves, in metres a second',
  })
  write(scratch .. '/unit_types.txt', { 'Tank', 'Hover_Tank' })

  -- Every notification as the server sent it, by file, besides Neovim's own handling.
  local published = {}
  local function on_diagnostics(err, result, ctx, config)
    published[vim.uri_to_fname(result.uri)] = result.diagnostics
    return vim.lsp.diagnostic.on_publish_diagnostics(err, result, ctx, config)
  end

  local command = { tool, 'lsp' }
  if emulator ~= '' then command = vim.split(emulator, '|', { plain = true }); vim.list_extend(command, { tool, 'lsp' }) end
  local exit_code = nil
  local client_id = vim.lsp.start_client({
    name = 'cognexa',
    cmd = command,
    root_dir = root,
    flags = { debounce_text_changes = 0 },
    init_options = {
      tokens = scratch .. '/tokens.txt',
      databases = { UnitTypes = scratch .. '/unit_types.txt' },
      values = { ['Enemy.Count'] = 1, ['Enemy.Strength'] = 2, ['Unit.Health'] = 0.5 },
    },
    handlers = { ['textDocument/publishDiagnostics'] = on_diagnostics },
    on_exit = function(code) exit_code = code end,
  })
  if not check(client_id, 'the client did not start') then return end

  local function open(path)
    vim.cmd('edit ' .. vim.fn.fnameescape(path))
    local buffer = vim.api.nvim_get_current_buf()
    vim.lsp.buf_attach_client(buffer, client_id)
    return buffer
  end

  local function diagnostics_of(path)
    return published[path]
  end

  local function wait_for(text, condition)
    -- Nothing later can pass once the server stopped answering: end the run at once.
    if not vim.wait(TIMEOUT, condition, 20) then error('timed out waiting for ' .. text, 0) end
  end

  local function find(list, field, value)
    for _, item in ipairs(list or {}) do
      if item[field] == value then return item end
    end
    return nil
  end

  local function request(buffer, method, params)
    local answers = vim.lsp.buf_request_sync(buffer, method, params, TIMEOUT)
    local answer = answers and answers[client_id]
    if not check(answer and not answer.err, method .. ' failed: ' .. vim.inspect(answers)) then return nil end
    return answer.result
  end

  local main_path = folder .. '/Main.xml'
  local second_path = folder .. '/SECOND.XML'
  local main = open(main_path)
  local main_uri = vim.uri_from_bufnr(main)

  -- 1. Diagnostics of the open file: a syntax error after non-ASCII text, an unknown token.
  wait_for('diagnostics of Main.xml', function()
    return diagnostics_of(main_path) ~= nil and #vim.diagnostic.get(main) >= 2
  end)
  local syntax = find(diagnostics_of(main_path), 'code', 'syntax')
  if check(syntax, 'no syntax error in ' .. vim.inspect(diagnostics_of(main_path))) then
    check(syntax.message == 'syntax error: parsing stopped here', 'syntax message: ' .. syntax.message)
    local line = main_lines[4]
    local byte = line:find(';', 1, true) - 1
    local _, utf16 = vim.str_utfindex(line, byte)
    check(syntax.range.start.line == 3 and syntax.range.start.character == utf16,
          'syntax error at ' .. vim.inspect(syntax.range.start) .. ', wanted line 3 column ' .. utf16)
    local shown = find(vim.diagnostic.get(main), 'code', 'syntax')
    check(shown and shown.col == byte, 'Neovim places the syntax error at byte ' .. (shown and shown.col or -1))
  end
  local unknown = find(diagnostics_of(main_path), 'code', 'unknown-token')
  if check(unknown, 'no unknown token') then
    check(unknown.message == 'unknown token name "Sped"', 'unknown token message: ' .. unknown.message)
    check(unknown.range.start.line == 4 and unknown.range.start.character == 13 and unknown.range["end"].character == 17,
          'unknown token range ' .. vim.inspect(unknown.range))
  end

  -- 2. The duplicate in a file not open, pointing at the first definition.
  wait_for('diagnostics of SECOND.XML', function() return diagnostics_of(second_path) ~= nil end)
  local duplicate = find(diagnostics_of(second_path), 'code', 'duplicate')
  if check(duplicate, 'no duplicate in ' .. vim.inspect(diagnostics_of(second_path))) then
    check(duplicate.message:find('duplicate equation name; first defined at Main.xml:3:4', 1, true) ~= nil,
          'duplicate message: ' .. duplicate.message)
    local related = duplicate.relatedInformation and duplicate.relatedInformation[1]
    check(related and vim.uri_to_fname(related.location.uri) == main_path and related.location.range.start.line == 2,
          'related information: ' .. vim.inspect(related))
  end

  -- 3. Hover: the postfix program, the value, a token's description.
  local hover = request(main, 'textDocument/hover',
                        { textDocument = { uri = main_uri }, position = { line = 2, character = 20 } })
  local text = hover and hover.contents and hover.contents.value or ''
  check(text:find('token Enemy.Count', 1, true) and text:find('multiply', 1, true) and text:find('Value: 1.5', 1, true),
        'hover of Threat_Level: ' .. text)
  hover = request(main, 'textDocument/hover', { textDocument = { uri = main_uri }, position = { line = 5, character = 15 } })
  text = hover and hover.contents and hover.contents.value or ''
  check(text:find('how fast the unit moves', 1, true), 'hover of Speed: ' .. text)

  -- 4. Completion: token names after "Unit.", database objects after "UnitTypes[", clamp.
  local function labels(line, character)
    local result = request(main, 'textDocument/completion',
                           { textDocument = { uri = main_uri }, position = { line = line, character = character } })
    local names = {}
    for _, item in ipairs(result and (result.items or result) or {}) do names[item.label] = true end
    return names
  end
  local after_dot = labels(5, 14)
  check(after_dot.Speed and after_dot.Health, 'completion after "Unit.": ' .. vim.inspect(after_dot))
  local objects = labels(5, 32)
  check(objects.Tank and objects.Hover_Tank, 'completion after "UnitTypes[": ' .. vim.inspect(objects))
  check(labels(5, 9).clamp, 'clamp is not offered')

  -- 5. Symbols of the file and of the workspace.
  local symbols = request(main, 'textDocument/documentSymbol', { textDocument = { uri = main_uri } }) or {}
  local names = {}
  for _, symbol in ipairs(symbols) do names[#names + 1] = symbol.name end
  check(table.concat(names, ',') == 'Threat_Level,Broken,Typo,Probe', 'document symbols: ' .. table.concat(names, ','))
  local found = request(main, 'workspace/symbol', { query = 'threat' }) or {}
  check(#found == 2, 'workspace symbols for "threat": ' .. vim.inspect(found))

  -- 6. A fix typed in clears the syntax error.
  vim.api.nvim_buf_set_lines(main, 3, 4, true, { '  <!-- Größe ✓ 𝄞 --><Broken>Unit.Speed + 1</Broken>' })
  wait_for('the fix to clear the syntax error', function()
    return diagnostics_of(main_path) ~= nil and find(diagnostics_of(main_path), 'code', 'syntax') == nil
  end)
  check(find(diagnostics_of(main_path), 'code', 'unknown-token'), 'the unknown token went with the fix')

  -- 7. The upper-case ".XML" file opened: its duplicate stays.
  local second = open(second_path)
  published[second_path] = nil
  vim.api.nvim_buf_set_lines(second, 2, 3, true, { '  <THREAT_LEVEL>2</THREAT_LEVEL>' })
  wait_for('diagnostics of the open SECOND.XML', function()
    return find(diagnostics_of(second_path), 'code', 'duplicate') ~= nil
  end)

  -- 8. Shutdown and exit: the server ends with status 0.
  vim.lsp.stop_client(client_id)
  wait_for('the server to exit', function() return exit_code ~= nil end)
  check(exit_code == 0, 'exit status ' .. tostring(exit_code))

end

local ok, problem = xpcall(main, debug.traceback)
if not ok then
  io.stderr:write('FAIL: ' .. tostring(problem) .. '\n')
  failures = failures + 1
end
if failures > 0 then
  vim.cmd('cquit 1')
end
io.stdout:write('lsp_neovim_test: all cases passed\n')
vim.cmd('qall!')
